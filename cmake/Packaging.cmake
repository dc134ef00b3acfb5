# SPDX-License-Identifier: GPL-3.0-or-later
# `make package` (cpack) builds a Debian package of the installed layout.
# Its dependencies come from the shared libraries the program links; a
# browser the program can drive is recommended, not required.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagewheel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Pagewheel developers <pagewheel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Run a show of web pages and pictures in your web browser")
set(CPACK_PACKAGE_DESCRIPTION
    "Pagewheel runs a show, an ordered list of web addresses and local files, each with a pause, an optional sound and a skip flag, in a real web browser beside a small control window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform and multimedia plugins at run time; no linked
# library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium | google-chrome-stable | firefox-esr | firefox")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pulseaudio-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
