# Tests of the Windows build. They run Windows programs under Wine and expect
# the environment of scripts/with_wine.sh (prefix, display, wineserver):
#
#   scripts/with_wine.sh ctest --test-dir build/mingw -j1 --output-on-failure
#
# Wine tests run one at a time (-j1): they share one wineserver and display.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(SCRIVLET_WINE_TESTS ${CMAKE_CURRENT_LIST_DIR})

# Reads and closes the message boxes the program under test shows.
add_executable(close_message_box ${SCRIVLET_WINE_TESTS}/close_message_box_win32.cpp)
scrivlet_target_defaults(close_message_box)

# The native program for the comparison of both builds' lists.
set(SCRIVLET_NATIVE_PROGRAM "${CMAKE_SOURCE_DIR}/build/native/scrivlet"
    CACHE FILEPATH "The native scrivlet program whose lists the Windows build must match")

# The unit tests: one GoogleTest run under Wine (one Wine start instead of one per case).
add_test(NAME wine_unit_tests
         COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/run_in_wine.py 600 $<TARGET_FILE:scrivlet_tests>)

add_test(NAME wine_exe_image COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/exe_image_test.py)
add_test(NAME wine_scrivlet_exe COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/scrivlet_exe_test.py)
add_test(NAME wine_identical_lists COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/identical_lists_test.py)
add_test(NAME wine_native_paths COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/native_paths_exe_test.py)

set(_wine_test_env
    "SCRIVLET_EXE=$<TARGET_FILE:Scrivlet>"
    "SCRIVLET_CLOSE_MESSAGE_BOX=$<TARGET_FILE:close_message_box>"
    "SCRIVLET_NATIVE_PROGRAM=${SCRIVLET_NATIVE_PROGRAM}"
    "SCRIVLET_ICON=${CMAKE_SOURCE_DIR}/res/scrivlet.ico"
    "SCRIVLET_OBJDUMP=${CMAKE_OBJDUMP}")
set_tests_properties(wine_unit_tests wine_exe_image wine_scrivlet_exe wine_identical_lists wine_native_paths PROPERTIES
    ENVIRONMENT "${_wine_test_env}"
    TIMEOUT 900
    SKIP_RETURN_CODE 77
    RUN_SERIAL TRUE)

# The windows of a run: the progress window with its tray icon, and the settings dialog.
include(${SCRIVLET_WINE_TESTS}/progress_tests.cmake OPTIONAL)
include(${SCRIVLET_WINE_TESTS}/settings_dialog_tests.cmake OPTIONAL)
