# The Debian package of the program: `cpack -G DEB` in a release build configured with the
# install prefix /usr. Its dependencies are read from the libraries the program links.
set(CPACK_PACKAGE_NAME ql-korvane)
set(CPACK_PACKAGE_VENDOR "Quillon Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop companion for a cryptocurrency full node")
# The lines of the extended description, as the control file shows them (at most 80 columns).
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Starts, watches and stops a coin's GUI wallet and daemon, and ends hung ones"
    "by name. Writes the coin's conf file and says what the node will make of it,"
    "shows the blockchain folder's size and the free space left, shows the node's"
    "state over RPC, and keeps the workstation awake while the node runs."
    ""
    "One copy of the program looks after one coin: each copy, named after its coin,"
    "keeps a profile of its own.")
set(CPACK_PACKAGE_CONTACT "Quillon Software <support@ql-korvane.invalid>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1) # the package's own revision of the upstream version
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon theme the menu entry's icon goes into; Qt's X11 platform plugin comes with its GUI library.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme")
include(CPack)

if(KORVANE_BUILD_GUI AND NOT WIN32)
    set(KORVANE_DEBIAN_VERSION "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
    add_subdirectory(packaging/debian)
endif()
