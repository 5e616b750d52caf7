# What `cmake --install` puts in place, and the Debian package CPack makes of it.
#
#   <prefix>/bin/tidemark                                   the application
#   <prefix>/libexec/tidemark-launcher                      the login helper
#   <prefix>/share/applications/<identifier>.desktop        its desktop entry
#   <prefix>/share/metainfo/<identifier>.metainfo.xml       its AppStream description
#   <prefix>/share/icons/hicolor/*/apps/<identifier>.*      its icon (SVG and PNGs)
#   <prefix>/share/doc/tidemark/                            copyright and changelog
#
# Everything else the program reads at run time (its string tables) is built into it.

set(TIDEMARK_DESKTOP_ID "${TIDEMARK_BUNDLE_IDENTIFIER}")
set(generated "${PROJECT_BINARY_DIR}/generated/install")
configure_file("${PROJECT_SOURCE_DIR}/resources/desktop/app.desktop.in"
    "${generated}/${TIDEMARK_DESKTOP_ID}.desktop" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/resources/desktop/app.metainfo.xml.in"
    "${generated}/${TIDEMARK_DESKTOP_ID}.metainfo.xml" @ONLY)

# Directories the package makes are rwxr-xr-x whatever the umask of the one who builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS tidemark RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(TARGETS tidemark-launcher RUNTIME DESTINATION "${CMAKE_INSTALL_LIBEXECDIR}")
install(FILES "${generated}/${TIDEMARK_DESKTOP_ID}.desktop"
    DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/applications")
install(FILES "${generated}/${TIDEMARK_DESKTOP_ID}.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/metainfo")
install(DIRECTORY "${TIDEMARK_ICON_FOLDER}/"
    DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor")

# The package's copyright and changelog, where Debian looks for them (the changelog of a
# native package compressed with gzip -9n, so the package builds the same every time).
find_program(TIDEMARK_GZIP gzip REQUIRED)
set(doc "${PROJECT_BINARY_DIR}/generated/doc")
configure_file("${PROJECT_SOURCE_DIR}/resources/package/changelog.in" "${doc}/changelog" @ONLY)
add_custom_command(
    OUTPUT "${doc}/changelog.gz"
    COMMAND "${TIDEMARK_GZIP}" -9nf "${doc}/changelog" -k
    DEPENDS "${doc}/changelog"
    VERBATIM)
add_custom_target(tidemark_package_docs ALL DEPENDS "${doc}/changelog.gz")
install(FILES "${PROJECT_SOURCE_DIR}/resources/package/copyright" "${doc}/changelog.gz"
    DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/tidemark")

# cpack -G DEB: tidemark_<version>_<arch>.deb, its runtime dependencies read from the
# programs' shared libraries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidemark)
set(CPACK_PACKAGE_VENDOR "The Tidemark developers")
set(CPACK_PACKAGE_CONTACT "The Tidemark developers <${TIDEMARK_BUG_REPORT_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminders set by pulling down from the menu bar")
set(CPACK_PACKAGE_DESCRIPTION
    "Tidemark lives at the top edge of the screen. Press on its icon and pull\n"
    "down, or scroll over it: the length of the pull becomes how far ahead the\n"
    "reminder is due. At the due time a desktop notification offers to snooze\n"
    "it. Reminders are kept in a local store or in the user's calendar task\n"
    "lists (a vdir tree).")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TIDEMARK_SUPPORT_WEBSITE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Notifications need a notification server, which every desktop brings; the session bus
# is how they are reached.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session | dbus-x11")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "vdirsyncer, todoman")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
