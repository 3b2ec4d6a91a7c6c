# The icon and the version in every program of a Windows build, as Explorer and the installer
# show them.
enable_language(RC)
set(HART_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/hart-config.ico)
foreach(entry
    "hart-config|HART instrument configuration window"
    "hart-cli|HART instrument configuration from the command line"
    "hart-report|HART commissioning report"
    "hart-sim|HART instrument simulator")
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 HART_RC_NAME)
  list(GET entry 1 HART_RC_DESCRIPTION)
  if(TARGET ${HART_RC_NAME})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in
                   ${CMAKE_BINARY_DIR}/resources/${HART_RC_NAME}.rc @ONLY)
    target_sources(${HART_RC_NAME} PRIVATE ${CMAKE_BINARY_DIR}/resources/${HART_RC_NAME}.rc)
  endif()
endforeach()
