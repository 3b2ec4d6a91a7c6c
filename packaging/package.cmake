# Debian package hart-config (cpack -G DEB): the window, the simulator, desktop entry, icons,
# AppStream metainfo, manual pages and the Debian documentation files.
include(GNUInstallDirs)

set(HART_PKG_DIR ${CMAKE_CURRENT_LIST_DIR})
set(HART_PKG_OUT ${CMAKE_BINARY_DIR}/packaging)
set(HART_PKG_MAINTAINER "hart-config maintainers <hart-config@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Icons rendered from the one drawing; manual pages and changelog compressed as Debian wants
# them (gzip -n: no name or time stamp, so rebuilds give the same bytes).
find_program(RSVG_CONVERT rsvg-convert)
find_program(GZIP gzip REQUIRED)
set(HART_ICON_SIZES 16 24 32 48 64 128 256)
set(HART_PKG_FILES)
if(RSVG_CONVERT)
  foreach(size IN LISTS HART_ICON_SIZES)
    set(png ${HART_PKG_OUT}/icons/${size}x${size}/hart-config.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${HART_PKG_OUT}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${HART_PKG_DIR}/hart-config.svg
      DEPENDS ${HART_PKG_DIR}/hart-config.svg
      COMMENT "Rendering the ${size}px icon")
    list(APPEND HART_PKG_FILES ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(STATUS "rsvg-convert not found (librsvg2-bin): the package gets the SVG icon only")
endif()

foreach(page hart-config.1 hart-sim.1 hart-cli.1)
  set(gz ${HART_PKG_OUT}/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HART_PKG_OUT}
    COMMAND ${GZIP} -9 -n -c ${HART_PKG_DIR}/${page} > ${gz}
    DEPENDS ${HART_PKG_DIR}/${page})
  list(APPEND HART_PKG_FILES ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(changelog ${HART_PKG_OUT}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HART_PKG_OUT}
  COMMAND ${GZIP} -9 -n -c ${HART_PKG_DIR}/changelog > ${changelog}
  DEPENDS ${HART_PKG_DIR}/changelog)
list(APPEND HART_PKG_FILES ${changelog})
add_custom_target(package-files ALL DEPENDS ${HART_PKG_FILES})

# Read-only relocations resolved at start, as Debian builds its programs.
target_link_options(hart-config PRIVATE -Wl,-z,relro,-z,now)
target_link_options(hart-sim PRIVATE -Wl,-z,relro,-z,now)
target_link_options(hart-cli PRIVATE -Wl,-z,relro,-z,now)
install(TARGETS hart-config hart-sim hart-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS hart-report RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/hart-config)
install(FILES ${HART_PKG_DIR}/hart-config.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${HART_PKG_DIR}/hart-config.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${HART_PKG_DIR}/io.github.hart_config.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${HART_PKG_DIR}/copyright ${changelog}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/hart-config)

# scripts/licences judges the package's libraries by their copyright files: a GPL-only one fails
# with its name, an LGPL one passes, whatever the packaging's own files are under.
set(licences ${PROJECT_SOURCE_DIR}/scripts/licences --copyright)
add_test(NAME licences.GplOnlyFails COMMAND ${licences} libcharts ${HART_PKG_DIR}/tests/gpl-only.copyright)
set_tests_properties(licences.GplOnlyFails PROPERTIES
                     PASS_REGULAR_EXPRESSION "libcharts is GPL-only: GPL-3\\+")
add_test(NAME licences.LgplPasses COMMAND ${licences} libcore ${HART_PKG_DIR}/tests/lgpl.copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hart-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${HART_PKG_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HART_PKG_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Chinese captions need a CJK font; Qt finds it through fontconfig.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
# Qt's own dialogs in Chinese when the window is.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The first line is the synopsis; CPack indents the rest and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "configuration tool for HART field instruments
A HART master for pressure, differential-pressure, temperature and
multivariable transmitters on a 4-20 mA loop. It talks to the instrument
through a HART modem on a serial port (for example /dev/ttyUSB0) and shows
identity, live values, range, units, damping, identification fields, loop
current trim, burst mode and vendor set-up in one window with Chinese
captions.

The package also holds hart-sim, a simulated loop of HART instruments on a
pseudo-terminal, for trying the tool without a modem, and hart-cli, every
operation of the window from a shell for scripts and test rigs.")
include(CPack)
