# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack once it has staged the installed files: the files only the Debian package carries
# (its copyright, changelog and lintian overrides, laid out by Package.cmake) join them there, so
# that a plain `cmake --install` does without them.
file(COPY ${CPACK_KVT_DEBIAN_FILES}/ DESTINATION ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS ${CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
