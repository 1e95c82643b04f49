# Install rules and the Debian package (CPack DEB). Installed layout:
#   bin/trenov5x, bin/trenov5x-cli, bin/trenov5x-devsim
#   lib/trenov5x/modules/trenov5x-pdf.so  the PDF writer trenov5x-cli loads
#   share/trenov5x/Language/      found by the programs from bin/
#   share/applications, share/metainfo, share/icons/hicolor/scalable/apps
#   share/man/man1, share/doc/trenov5x
include(GNUInstallDirs)

set(TRENOV5X_APP_ID com.corvantis.trenov5x)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS trenov5x trenov5x-cli trenov5x-devsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# One level below lib/trenov5x: CPack calls ldconfig for a library in a
# folder directly under lib/, which a private module does not need.
install(TARGETS trenov5x-pdf LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/trenov5x/modules)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Language/ DESTINATION ${CMAKE_INSTALL_DATADIR}/trenov5x/Language
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${packaging}/${TRENOV5X_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/trenov5x.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${packaging}/${TRENOV5X_APP_ID}.metainfo.xml ${generated}/${TRENOV5X_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${TRENOV5X_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages and the changelog go in compressed, without a time stamp
# (gzip -n), as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(gzipped)
foreach(page trenov5x.1 trenov5x-cli.1 trenov5x-devsim.1 changelog)
  if(page STREQUAL "changelog")
    configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
  else()
    configure_file(${packaging}/${page} ${generated}/${page} @ONLY)
  endif()
  add_custom_command(OUTPUT ${generated}/${page}.gz
    COMMAND ${GZIP_PROGRAM} -9nf -k ${generated}/${page}
    DEPENDS ${generated}/${page}
    COMMENT "Compressing ${page}")
  list(APPEND gzipped ${generated}/${page}.gz)
endforeach()
add_custom_target(package_files ALL DEPENDS ${gzipped})
install(FILES ${generated}/trenov5x.1.gz ${generated}/trenov5x-cli.1.gz ${generated}/trenov5x-devsim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trenov5x)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "TRENOV5x developers <trenov5x@corvantis.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration composer for the TRENOV5x GSM alarm modem")
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents these lines
# and turns the empty one into the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A tool for installers of the TRENOV5x GSM alarm modem. It edits named
configurations (SIM PIN, the SMS messages of each input event, the SMS
commands and calls that switch the outputs, time profiles), compiles them
into the device image and updates the device over a serial port with the
update program of the installer's kit (a Windows one runs through wine).

The window speaks English, Italian, German and Spanish; trenov5x-cli does
the same from scripts.")
set(CPACK_DEBIAN_FILE_NAME trenov5x_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so invisible to shlibdeps: the X11 platform.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Yes/No/Cancel in the chosen language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
