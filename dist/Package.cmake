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

include(CPack)
