# The Debian package: `cpack` in the build directory turns the installation
# rules into tolvane_<version>_amd64.deb (scripts/package.sh does it all).
set(TOLVANE_PACKAGE_MAINTAINER "Merovaal <tolvane@merovaal.example>" CACHE STRING
    "Maintainer named in the Debian package and its changelog")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR Merovaal)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "speech translation workbench for Chinese and Uyghur")
# Debian shows the description as it is: lines under 80 columns, paragraphs apart.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "An operator speaks; every recognised sentence becomes an item of the active\n"
    "document and is sent to an HTTP translation server, and the translation\n"
    "appears beside it. Items can be re-translated, inserted, deleted, read aloud,\n"
    "saved, reopened and exported as comma-separated files. The interface runs in\n"
    "Chinese or English.\n"
    "\n"
    "This package carries a stand-in for the vendor's speech SDK: recording\n"
    "replays a demo transcript and reading aloud uses espeak-ng.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the fonts for Chinese
# and Uyghur text and the voices the stand-in reads aloud with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, fonts-ukij-uyghur, espeak-ng-data")

# Only the package carries lintian's notes on it.
set(CPACK_INSTALLED_DIRECTORIES "${CMAKE_SOURCE_DIR}/packaging/lintian;usr/share/lintian/overrides")

include(CPack)
