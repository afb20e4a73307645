# Linux packages of an installed tree: a .deb (module in /usr/lib/vst3, tool in /usr/bin, its manual
# page) and a .tar.gz of the same files for other distributions. `cpack` in a build tree makes them.
# A native Debian package carries its copyright and changelog in /usr/share/doc/<package>/.
set(tv_changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
string(TIMESTAMP tv_release_date "%a, %d %b %Y 00:00:00 +0000" UTC)
file(WRITE ${tv_changelog}
     "tessivane-vorelline (${PROJECT_VERSION}) stable; urgency=medium\n\n"
     "  * Release ${PROJECT_VERSION}.\n\n"
     " -- Tessivane Vorelline <support@tessivane-vorelline.example>  ${tv_release_date}\n")
find_program(TV_GZIP gzip)
add_custom_command(OUTPUT ${tv_changelog}.gz COMMAND ${TV_GZIP} -9nkf ${tv_changelog} DEPENDS ${tv_changelog})
add_custom_target(package_changelog ALL DEPENDS ${tv_changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${tv_changelog}.gz
        DESTINATION share/doc/tessivane-vorelline)

set(CPACK_PACKAGE_NAME tessivane-vorelline)
set(CPACK_PACKAGE_VENDOR "tessivane-vorelline.example")
set(CPACK_PACKAGE_CONTACT "Tessivane Vorelline <support@tessivane-vorelline.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VST3 plug-in that makes one microphone sound like another")
set(CPACK_PACKAGE_DESCRIPTION
    "Records the same voice with a reference (measurement) microphone and a target\n"
    "microphone, compares them in 33 or 120 bands and designs a cascade of peaking\n"
    "filters that corrects the target. Contains the VST3 plug-in and the vorelline\n"
    "command-line tool, which measures, applies and exports corrections.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# Into /usr, whatever the tree's own install prefix (the per-user one by default).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessivane-vorelline.example/")
# Lintian wants the directories' and files' modes of a Debian package, not the build tree's.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The archive for other distributions holds bin/, lib/vst3/ and share/ at its top folder, with a
# read-me that says where each belongs (the .deb puts them there itself and has none).
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-linux-x86_64)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.linux.txt ${CMAKE_BINARY_DIR}/packaging/archive/README.txt
               @ONLY)
set(CPACK_TV_ARCHIVE_EXTRAS ${CMAKE_BINARY_DIR}/packaging/archive)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/TvPackagingPerGenerator.cmake)
# Packing takes what the tree has built (scripts/build.sh builds first): it never starts a build of
# the whole tree, which in a test tree means every test program.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
