# Install rules for everything the build produced, and the Debian package.
# Included at the end of the top-level list, when every target exists.

foreach(library VornCom VornPlatform VornHdd VornWmi VornFolder VornComWidgets)
  if(TARGET ${library})
    install(TARGETS ${library} LIBRARY DESTINATION ${VORN_INSTALL_PRIVATE_LIBDIR}
            NAMELINK_SKIP)
  endif()
endforeach()

foreach(program drivewatch DrivewatchMini HeatgaugeMini)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The shipped read-only files: templates, the description file, the manual
# and the simulated sample machine (for trying the programs without disks).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/Template DESTINATION ${VORN_INSTALL_DATADIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/sample-machine DESTINATION ${VORN_INSTALL_DATADIR})
if(EXISTS ${PROJECT_SOURCE_DIR}/data/DrivewatchMini.html)
  install(FILES ${PROJECT_SOURCE_DIR}/data/DrivewatchMini.html DESTINATION ${VORN_INSTALL_DATADIR})
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/data/en/DrivewatchMini.html)
  install(FILES ${PROJECT_SOURCE_DIR}/data/en/DrivewatchMini.html
          DESTINATION ${VORN_INSTALL_DATADIR}/en)
endif()

# Desktop programs start in a per-user folder through this launcher.
configure_file(${PROJECT_SOURCE_DIR}/data/desktop/vorn-start.in
               ${PROJECT_BINARY_DIR}/install/vorn-start @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/install/vorn-start
        DESTINATION ${VORN_INSTALL_PRIVATE_LIBDIR})
set(VORN_LAUNCHER "${CMAKE_INSTALL_FULL_LIBDIR}/vorn/vorn-start")

foreach(entry org.vorn.DrivewatchMini org.vorn.HeatgaugeMini)
  string(REGEX REPLACE "^org[.]vorn[.]" "" program "${entry}")
  if(TARGET ${program})
    configure_file(${PROJECT_SOURCE_DIR}/data/desktop/${entry}.desktop.in
                   ${PROJECT_BINARY_DIR}/install/${entry}.desktop @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/install/${entry}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/${entry}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  endif()
endforeach()
if(TARGET HeatgaugeMini)
  # Off until the user copies it to ~/.config/autostart (see the man page).
  configure_file(${PROJECT_SOURCE_DIR}/data/desktop/org.vorn.HeatgaugeMini-autostart.desktop.in
                 ${PROJECT_BINARY_DIR}/install/org.vorn.HeatgaugeMini.desktop @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/install/org.vorn.HeatgaugeMini.desktop
          DESTINATION ${VORN_INSTALL_DATADIR}/autostart)
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

install(FILES ${PROJECT_SOURCE_DIR}/data/completion/drivewatch
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The disks' metrics for Prometheus: the endpoint's service, the textfile
# collector's timer, the polkit rule that lets the service's user read
# through the helper, and the alert rules with an example scrape config.
set(VORN_DRIVEWATCH_EXEC "${CMAKE_INSTALL_FULL_BINDIR}/drivewatch")
install(TARGETS vorn-metrics-serve RUNTIME DESTINATION ${VORN_INSTALL_PRIVATE_LIBDIR})
foreach(unit vorn-metrics.service vorn-metrics-textfile.service)
  configure_file(${PROJECT_SOURCE_DIR}/data/metrics/${unit}.in
                 ${PROJECT_BINARY_DIR}/install/${unit} @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/install/${unit} DESTINATION lib/systemd/system)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/metrics/vorn-metrics-textfile.timer
        DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/data/metrics/50-vorn-metrics.rules
        DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/rules.d)
install(FILES ${PROJECT_SOURCE_DIR}/data/metrics/vorn-disks.rules.yml
              ${PROJECT_SOURCE_DIR}/data/metrics/scrape-config.yml
        DESTINATION ${VORN_INSTALL_DATADIR}/prometheus)

# Manual pages, compressed as Debian wants them (-n: no time stamp, so the
# package is reproducible).
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(page drivewatch.1 DrivewatchMini.1 HeatgaugeMini.1)
  string(REGEX REPLACE "[.]1$" "" program "${page}")
  if(TARGET ${program})
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/install/${page}.gz
      COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/docs/man/${page}
              > ${PROJECT_BINARY_DIR}/install/${page}.gz
      DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page} VERBATIM)
    list(APPEND vorn_man_pages ${PROJECT_BINARY_DIR}/install/${page}.gz)
  endif()
endforeach()
add_custom_target(vorn_man_pages ALL DEPENDS ${vorn_man_pages})
install(FILES ${vorn_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/install/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/data/debian/changelog
          > ${PROJECT_BINARY_DIR}/install/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/data/debian/changelog VERBATIM)
add_custom_target(vorn_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/install/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/install/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB: one package "vorn" with the programs, their private libraries
# and the shipped files; dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VENDOR "Vorn")
set(CPACK_PACKAGE_CONTACT "Vorn developers <dev@vorn.invalid>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "S.M.A.R.T. disk health checker and temperature monitor")
# The synopsis is the summary above; this is the long description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "drivewatch reads the identity, health verdict, temperature, power-on time\n\
and S.M.A.R.T. attributes of every fixed ATA disk and prints them as text or\n\
JSON, tracking wear against a stored baseline; it suits cron jobs and\n\
systemd timers. DrivewatchMini shows the same in a window with a tray icon,\n\
and HeatgaugeMini keeps a small always-on-top strip of disk temperatures\n\
with one tray icon per disk.")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The drive database comes with the system's S.M.A.R.T. tools; without it the
# built-in table serves, so it is recommended, not required.
# Qt's own texts (the Yes and No of a question, the folder picker) in the
# interface's Japanese; without them they stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "smartmontools, qt6-translations-l10n")
# The history's SQLite driver is a Qt plugin, loaded at run time, which no
# library dependency names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# Prometheus and node_exporter run elsewhere or beside; neither is needed
# for the programs, so they are only suggested.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "prometheus, prometheus-node-exporter")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_INSTALL_PREFIX}/${VORN_INSTALL_PRIVATE_LIBDIR}")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
