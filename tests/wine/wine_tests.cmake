# Tests of the Windows build, run under Wine by CTest alone:
#
#   ctest --preset mingw                       (all of them)
#   ctest --test-dir build/mingw -R NAME       (one; its fixture comes with it)
#
# The Wine environment (prefix, Xvfb display, wineserver, desktop keeper) is
# the fixture "wine": wine_env_start sets it up, wine_env_stop takes it down,
# and every Wine test requires it. Wine tests run one at a time (RUN_SERIAL):
# they share one wineserver and one display.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(SCRIVLET_WINE_TESTS ${CMAKE_CURRENT_LIST_DIR})
# Where the fixture records its environment for the tests.
set(SCRIVLET_WINE_ENV ${CMAKE_BINARY_DIR}/wine-env)

# The native program for the comparison of both builds' lists.
set(SCRIVLET_NATIVE_PROGRAM "${CMAKE_SOURCE_DIR}/build/native/scrivlet"
    CACHE FILEPATH "The native scrivlet program whose lists the Windows build must match")

# Helper programs of the tests: scrivlet_wine_helper(NAME) builds
# tests/wine/NAME_win32.cpp and hands its path to every Wine test as
# SCRIVLET_<NAME> (close_message_box gives SCRIVLET_CLOSE_MESSAGE_BOX).
set(SCRIVLET_WINE_TEST_ENV
    "SCRIVLET_WINE_ENV=${SCRIVLET_WINE_ENV}"
    "SCRIVLET_EXE=$<TARGET_FILE:Scrivlet>"
    "SCRIVLET_NATIVE_PROGRAM=${SCRIVLET_NATIVE_PROGRAM}"
    "SCRIVLET_ICON=${CMAKE_SOURCE_DIR}/res/scrivlet.ico"
    "SCRIVLET_OBJDUMP=${CMAKE_OBJDUMP}"
    "SCRIVLET_VERSION=${PROJECT_VERSION}"
    "SCRIVLET_MAKE_TREE=${CMAKE_SOURCE_DIR}/bench/make_tree.py"
    "SCRIVLET_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots")
function(scrivlet_wine_helper name)
  add_executable(${name} ${SCRIVLET_WINE_TESTS}/${name}_win32.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  scrivlet_target_defaults(${name})
  string(TOUPPER ${name} var)
  set(SCRIVLET_WINE_TEST_ENV ${SCRIVLET_WINE_TEST_ENV} "SCRIVLET_${var}=$<TARGET_FILE:${name}>" PARENT_SCOPE)
endfunction()

# Python tests under Wine: scrivlet_wine_test(NAME SCRIPT [TIMEOUT s] [ENVIRONMENT VAR=value...]).
# A new one is one line among those below the helpers; it gets the
# helpers' paths, the fixture and the rest from here.
function(scrivlet_wine_test name script)
  cmake_parse_arguments(T "" "TIMEOUT" "ENVIRONMENT" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  add_test(NAME ${name} COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/${script})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_ENVIRONMENT)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT ${T_ENVIRONMENT})
  endif()
  set_property(GLOBAL APPEND PROPERTY SCRIVLET_WINE_PY_TESTS ${name})
endfunction()

# Keeps Wine's desktop process alive between programs (see its source).
add_executable(desktop_keeper WIN32 ${SCRIVLET_WINE_TESTS}/desktop_keeper_win32.cpp)
target_link_libraries(desktop_keeper PRIVATE shell32)
scrivlet_target_defaults(desktop_keeper)

add_test(NAME wine_env_start
         COMMAND bash ${SCRIVLET_WINE_TESTS}/wine_fixture.sh start ${SCRIVLET_WINE_ENV} $<TARGET_FILE:desktop_keeper>)
add_test(NAME wine_env_stop COMMAND bash ${SCRIVLET_WINE_TESTS}/wine_fixture.sh stop ${SCRIVLET_WINE_ENV})
set_tests_properties(wine_env_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 RUN_SERIAL TRUE)
set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120 RUN_SERIAL TRUE)

# The unit tests, one CTest test per GoogleTest case ("wine.Suite.Case"),
# each case one start of the test program under the fixture's wineserver.
# The prefix for listing the cases is kept outside the source tree: a prefix
# holds a link to / (drive Z:), which a listing of the tree would follow.
if(DEFINED ENV{TMPDIR})
  set(_temp $ENV{TMPDIR})
else()
  set(_temp /tmp)
endif()
string(MD5 _build_hash ${CMAKE_BINARY_DIR})
string(SUBSTRING ${_build_hash} 0 12 _build_hash)
set_property(TARGET scrivlet_tests PROPERTY CROSSCOMPILING_EMULATOR
  ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/run_in_wine.py
  --env ${SCRIVLET_WINE_ENV} --list-prefix ${_temp}/scrivlet-wine-list-${_build_hash} 120)
# Listing the cases may first make the listing prefix (some 15 s, once).
gtest_discover_tests(scrivlet_tests
  TEST_PREFIX "wine."
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 300
  PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 180)

# Reads and closes the message boxes the program under test shows.
scrivlet_wine_helper(close_message_box)
# Sends the tray icon's notifications to a running Scrivlet.exe and works its menu.
scrivlet_wine_helper(tray_click)
# Fills and confirms the settings dialog of a running Scrivlet.exe from outside.
scrivlet_wine_helper(drive_settings_dialog)
list(APPEND SCRIVLET_WINE_TEST_ENV "SCRIVLET_DRIVE_DIALOG=$<TARGET_FILE:drive_settings_dialog>")

# Scrivlet.exe end to end, one line each.
scrivlet_wine_test(wine_exe_image exe_image_test.py)
scrivlet_wine_test(wine_scrivlet_exe scrivlet_exe_test.py)
scrivlet_wine_test(wine_identical_lists identical_lists_test.py)
scrivlet_wine_test(wine_native_paths native_paths_exe_test.py)
# List files that cannot be written, links on Z:, read-only lists, "-".
scrivlet_wine_test(wine_list_targets list_targets_exe_test.py)
# The progress window's tray icon and its cancel command; the large tree is
# made once and kept in the build folder, with the screenshots of a run.
scrivlet_wine_test(wine_tray_cancel tray_cancel_test.py TIMEOUT 900
                   ENVIRONMENT "SCRIVLET_TEST_OUTPUT=${CMAKE_CURRENT_BINARY_DIR}/tray")
# The settings dialog driven from another process; screenshots for the README.
scrivlet_wine_test(wine_settings_dialog settings_dialog_e2e_test.py)

# What every Python test under Wine shares; a test skips itself with 77.
# Applied once the folder is read, so tests registered later (and helpers
# added later) are covered too.
function(scrivlet_wine_tests_finish)
  get_property(tests GLOBAL PROPERTY SCRIVLET_WINE_PY_TESTS)
  foreach(test IN LISTS tests)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${SCRIVLET_WINE_TEST_ENV})
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
  endforeach()
endfunction()
cmake_language(DEFER CALL scrivlet_wine_tests_finish)
