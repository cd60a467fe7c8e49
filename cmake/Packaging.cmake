# What `cmake --install` puts where, and the Debian package CPack makes of it
# (scripts/package.sh builds and checks it).
include(GNUInstallDirs)

set(MSRW_APP_ID org.msrw.msrw)
set(msrw_pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(msrw_pkg_gen ${CMAKE_BINARY_DIR}/packaging)
# Whatever the umask of the machine that builds it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The changelog and the metadata take the project's version. Manual pages and
# the changelog are shipped compressed, without a time stamp inside, so that
# the same sources give the same package.
configure_file(${msrw_pkg_src}/changelog.in ${msrw_pkg_gen}/changelog @ONLY)
configure_file(${msrw_pkg_src}/${MSRW_APP_ID}.metainfo.xml.in ${msrw_pkg_gen}/${MSRW_APP_ID}.metainfo.xml @ONLY)
set(msrw_compressed)
foreach(msrw_doc man/msrw.1 man/msrw-cli.1 man/msrw-sim.1 ${msrw_pkg_gen}/changelog)
    get_filename_component(msrw_name ${msrw_doc} NAME)
    get_filename_component(msrw_doc ${msrw_doc} ABSOLUTE BASE_DIR ${msrw_pkg_src})
    add_custom_command(OUTPUT ${msrw_pkg_gen}/${msrw_name}.gz
        COMMAND gzip -9nc ${msrw_doc} > ${msrw_pkg_gen}/${msrw_name}.gz
        DEPENDS ${msrw_doc} VERBATIM)
    list(APPEND msrw_compressed ${msrw_pkg_gen}/${msrw_name}.gz)
endforeach()
add_custom_target(msrw_compressed_docs ALL DEPENDS ${msrw_compressed})

install(TARGETS msrw msrw-cli msrw-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${msrw_pkg_gen}/msrw.1.gz ${msrw_pkg_gen}/msrw-cli.1.gz ${msrw_pkg_gen}/msrw-sim.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${msrw_pkg_src}/${MSRW_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${msrw_pkg_gen}/${MSRW_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${msrw_pkg_src}/icons/msrw.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES ${msrw_pkg_src}/icons/msrw-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME msrw.png)
endforeach()
install(FILES ${msrw_pkg_src}/msrw-cli.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME msrw-cli)
install(FILES ${msrw_pkg_src}/copyright ${msrw_pkg_gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME msrw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The msrw developers <msrw@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "magnetic-stripe card reader/writer utility")
# The long description, under the summary (CPack indents it; an empty line
# separates paragraphs).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop utility for a magnetic-stripe card reader/writer attached through
a serial port: it reads, compares, writes and erases cards, reads cards into
card data files and writes them back, writes a card for each record of a CSV
file or of a batch shared by several stations on a PostgreSQL server, and
shows what the tracks of payment and identification cards mean.

It comes with msrw-cli, the same card operations from the console, and
msrw-sim, a simulated reader/writer on a pseudo-terminal, so that
everything can be tried without hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries dpkg-shlibdeps finds, and Qt's window-system plug-ins, which
# the window needs and no library names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# Batches shared by several stations need Qt's PostgreSQL driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libqt6sql6-psql)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
