# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, by `cpack -G DEB` in the build folder: everything `cmake --install` puts in
# place, under /usr, with the libraries it needs worked out from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvtplayer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Image Cryptography Laboratory")
set(CPACK_PACKAGE_CONTACT "Image Cryptography Laboratory <vclab@vclab.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "visual cryptography for motion pictures")
# Debian shows the description as given, so its lines are kept short here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "KVTPlayer plays greyscale image streams (.kvt files) frame by frame, splits"
  "a secret stream into two VSS(2, 2) shadow streams that look like noise alone,"
  "and reveals the secret by interlacing the shadows in time or by stacking them"
  "in space. The kvt command does the same work in batches, imports pictures and"
  "video as secrets, exports shadows as pictures, animations or video and prints"
  "them at physical scale on transparencies.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vclab.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# More picture formats for kvt import, Qt's own dialog texts in Chinese, and a font for the menus.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-translations-l10n, fonts-noto-cjk")

# What only the package carries, laid out as it is installed: the copyright file in Debian's
# machine-readable format, a changelog of this release, and lintian's overrides.
set(debian_files ${CMAKE_CURRENT_BINARY_DIR}/debian-files)
set(debian_docs ${debian_files}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME})
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/copyright.in copyright)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS copyright.in lintian-overrides)
string(REGEX REPLACE "^(#[^\n]*\n)+" "" copyright "${copyright}")
file(CONFIGURE OUTPUT ${debian_docs}/copyright CONTENT "${copyright}" @ONLY)
execute_process(COMMAND date -u -R -d ${KVT_RELEASE_DATE} OUTPUT_VARIABLE release_date
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(debian_version ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian CONTENT
  "${CPACK_PACKAGE_NAME} (${debian_version}) unstable; urgency=medium\n\n  * KVTPlayer ${CPACK_PACKAGE_VERSION}.\n\n -- ${CPACK_PACKAGE_CONTACT}  ${release_date}\n")
execute_process(COMMAND ${KVT_GZIP} -9nc ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
                OUTPUT_FILE ${debian_docs}/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)
configure_file(lintian-overrides ${debian_files}${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides/${CPACK_PACKAGE_NAME} COPYONLY)
set(CPACK_KVT_DEBIAN_FILES ${debian_files})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/DebianDocs.cmake)

include(CPack)
