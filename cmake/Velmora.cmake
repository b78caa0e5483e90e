# Helpers shared by every subsystem's CMakeLists.txt.

# Our own code builds with warnings as errors.
function(velmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-error=deprecated-declarations)
endfunction()

# velmora_library(name SOURCES ... LIBS ...): a subsystem library.
function(velmora_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  velmora_warnings(${name})
endfunction()

# velmora_test_environment(test [REAL_DISPLAY] [ENV VAR=value ...]): the
# sanitizers' options and, unless the test asks for a real display, the
# offscreen platform; then the test's own variables.
function(velmora_test_environment test)
  cmake_parse_arguments(ARG "REAL_DISPLAY" "" "ENV" ${ARGN})
  set(env "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tools/lsan.supp:print_suppressions=0"
          "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
          "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
          # No test reaches the user's session bus (players under test would
          # answer the desktop's media keys); bus tests start their own.
          "DBUS_SESSION_BUS_ADDRESS=disabled:")
  if(NOT ARG_REAL_DISPLAY)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  list(APPEND env ${ARG_ENV})
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}")
endfunction()

# velmora_test(name SOURCES ... LIBS ... [ENV VAR=value ...]): one GoogleTest
# executable, run by ctest with a private config folder and the offscreen
# platform unless the test asks for a real display itself.
#
# DRIVES_INPUT: the test types and clicks through the X server (xdotool) on
# the shared display; such tests run one at a time, or one would type into
# the other's focused window.
function(velmora_test name)
  cmake_parse_arguments(ARG "REAL_DISPLAY;DRIVES_INPUT" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} velmora_test_support GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELMORA_BUILD_DIR="${CMAKE_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  velmora_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_REAL_DISPLAY)
    velmora_test_environment(${name} REAL_DISPLAY ENV ${ARG_ENV})
  else()
    velmora_test_environment(${name} ENV ${ARG_ENV})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(ARG_DRIVES_INPUT)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK shared_display_input)
  endif()
endfunction()

# velmora_bench(name SOURCES ... LIBS ...): a Google Benchmark program, run by
# hand; its main() comes from bench/support (do not write one).
# GUI: the main makes a QApplication (widgets; offscreen unless
# QT_QPA_PLATFORM says otherwise) instead of a QCoreApplication.
function(velmora_bench name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    set(bench_main velmora_bench_gui_main)
  else()
    set(bench_main velmora_bench_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${bench_main} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE
    VELMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELMORA_BUILD_DIR="${CMAKE_BINARY_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  velmora_warnings(${name})
endfunction()
