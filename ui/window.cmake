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

add_executable(hart-config ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(hart-config PRIVATE hartwindow)
# A window program on Windows: no console window opens beside it.
set_target_properties(hart-config PROPERTIES WIN32_EXECUTABLE ON)
target_compile_definitions(hart-config PRIVATE HART_VERSION="${PROJECT_VERSION}")

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
  gtest_discover_tests(e2e_tests TEST_PREFIX "HartIp." TEST_FILTER "RoundTrip.*" DISCOVERY_TIMEOUT 120
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
endif()
