# Window logic, the program and the window tests (included from ui/CMakeLists.txt).
find_package(Qt6 REQUIRED COMPONENTS Test)

add_library(hartwindow STATIC
  ${CMAKE_CURRENT_LIST_DIR}/config_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_files.h
  ${CMAKE_CURRENT_LIST_DIR}/device_status_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loop_check_wizard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loop_check_wizard.h
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window.h
  ${CMAKE_CURRENT_LIST_DIR}/messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/messages.h
  ${CMAKE_CURRENT_LIST_DIR}/open_failure.cpp
  ${CMAKE_CURRENT_LIST_DIR}/open_failure.h
  ${CMAKE_CURRENT_LIST_DIR}/trend_plot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trend_plot.h
  ${CMAKE_CURRENT_LIST_DIR}/trend_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trend_window.h
)
target_link_libraries(hartwindow PUBLIC hartform hartops hartlink hartcli hartreport Qt6::Widgets)
target_compile_definitions(hartwindow PRIVATE HART_VERSION="${PROJECT_VERSION}")

# The English of the window: the translation file compiled by lrelease, beside the program on
# Windows and under share/ in the package; the build tree's is found too.
find_package(Qt6 QUIET COMPONENTS LinguistTools)
if(TARGET Qt6::lrelease)
  set(HART_LRELEASE $<TARGET_FILE:Qt6::lrelease>)
else()
  find_program(HART_LRELEASE lrelease HINTS /usr/lib/qt6/bin REQUIRED)
endif()
set(HART_QM ${CMAKE_CURRENT_BINARY_DIR}/translations/hart_en.qm)
add_custom_command(OUTPUT ${HART_QM}
  COMMAND ${HART_LRELEASE} -silent ${HART_TS_EN} -qm ${HART_QM}
  DEPENDS ${HART_TS_EN} VERBATIM)
add_custom_target(translations ALL DEPENDS ${HART_QM})
add_dependencies(hartform translations)
target_compile_definitions(hartform PRIVATE
  HART_BUILD_TRANSLATIONS="${CMAKE_CURRENT_BINARY_DIR}/translations")
# The Windows installer takes it from the build folder (scripts/windows).
if(NOT WIN32)
  include(GNUInstallDirs)
  install(FILES ${HART_QM} DESTINATION ${CMAKE_INSTALL_DATADIR}/hart-config/translations)
endif()

# New texts need their English, and no English may outlive its text: lupdate over the sources.
if(TARGET Qt6::lupdate)
  include(${PROJECT_SOURCE_DIR}/cmake/translations.cmake)
  add_custom_target(update-translations
    COMMAND Qt6::lupdate -no-obsolete ${HART_LUPDATE_ARGS} -ts ${HART_TS_EN}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} VERBATIM)
  add_test(NAME translations.Complete
    COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:Qt6::lupdate> -DTS=${HART_TS_EN}
            -DCOPY=${CMAKE_CURRENT_BINARY_DIR}/hart_en.check.ts -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/ts_check.cmake)
endif()

add_executable(hart-config ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(hart-config PRIVATE hartwindow)
# A window program on Windows: no console window opens beside it.
set_target_properties(hart-config PROPERTIES WIN32_EXECUTABLE ON)
target_compile_definitions(hart-config PRIVATE HART_VERSION="${PROJECT_VERSION}")

hart_add_test(language_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/language_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/qt_test_main.cpp
  LIBS hartwindow
  ENV "QT_QPA_PLATFORM=offscreen")

# The window's own and end-to-end tests drive the simulator on pseudo-terminals: POSIX only.
if(TARGET harttesting)
  hart_add_test(window_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/window_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/open_failure_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/qt_test_main.cpp
    LIBS hartwindow harttesting Qt6::Test
    ENV "QT_QPA_PLATFORM=offscreen")

  set(E2E_TEST_SOURCES)
  foreach(suite bad_input config device_status hart7 hartip pressure soak temperature_a temperature_b trend universal)
    list(APPEND E2E_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/e2e_${suite}_test.cpp)
  endforeach()
  hart_add_test(e2e_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/e2e_test.cpp ${E2E_TEST_SOURCES}
            ${CMAKE_CURRENT_LIST_DIR}/tests/qt_test_main.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/e2e_loop_check_test.cpp
    LIBS hartwindow harttesting Qt6::Test
    ENV "QT_QPA_PLATFORM=offscreen")
  target_compile_definitions(e2e_tests PRIVATE HART_SIM_PROGRAM="$<TARGET_FILE:hart-sim>")
  # The round trips again, the simulator behind HART-IP on 127.0.0.1.
  gtest_discover_tests(e2e_tests TEST_PREFIX "HartIp." TEST_FILTER "RoundTrip.*:Hart7.*" DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "HART_E2E_HARTIP=1" TIMEOUT 300 LABELS hartip)
  add_dependencies(e2e_tests hart-sim)
endif()

# On Windows the window meets the instrument on a COM port (scripts/windows links one to the
# simulator on Linux); without HART_TEST_COM the test says it is skipped.
if(WIN32)
  hart_add_test(com_port_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/com_port_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/qt_test_main.cpp
    LIBS hartwindow Qt6::Test
    ENV "QT_QPA_PLATFORM=offscreen")
  # The window's own tests on two COM ports joined to each other. The open-failure table is
  # Linux's errors; the link's tests cover Windows' refusals.
  hart_add_test(window_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/window_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tests/qt_test_main.cpp
    LIBS hartwindow hartcompair Qt6::Test
    ENV "QT_QPA_PLATFORM=offscreen")
endif()
