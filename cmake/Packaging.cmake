# The Debian package of the program: `cpack -G DEB` in a release build configured with the
# install prefix /usr. Its dependencies are read from the libraries the program links.
set(CPACK_PACKAGE_NAME ql-korvane)
set(CPACK_PACKAGE_VENDOR "Quillon Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop companion for a cryptocurrency full node")
set(CPACK_PACKAGE_DESCRIPTION
    "Starts, watches and stops a coin's wallet and daemon, kills hung ones by name, writes the coin's conf file, shows the blockchain folder's size and keeps the workstation awake. One copy of the program looks after one coin.")
set(CPACK_PACKAGE_CONTACT "Quillon Software <support@ql-korvane.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon theme the menu entry's icon goes into; Qt's X11 platform plugin comes with its GUI library.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme")
include(CPack)
