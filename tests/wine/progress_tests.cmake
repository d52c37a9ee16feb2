# The progress window of Scrivlet.exe end to end: its notification-area icon,
# the cancel command of the icon's menu, and the end of a run.

# Sends the icon's notifications to a running Scrivlet.exe and works its menu.
add_executable(tray_click ${SCRIVLET_WINE_TESTS}/tray_click_win32.cpp)
target_include_directories(tray_click PRIVATE ${CMAKE_SOURCE_DIR})
scrivlet_target_defaults(tray_click)

add_test(NAME wine_tray_cancel COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/tray_cancel_test.py)
# The large tree is made once and kept in the build folder; the screenshots
# of a run land there as well.
set(_tray_test_env ${_wine_test_env}
    "SCRIVLET_TRAY_CLICK=$<TARGET_FILE:tray_click>"
    "SCRIVLET_MAKE_TREE=${CMAKE_SOURCE_DIR}/bench/make_tree.py"
    "SCRIVLET_TEST_OUTPUT=${CMAKE_CURRENT_BINARY_DIR}/tray")
set_tests_properties(wine_tray_cancel PROPERTIES
    ENVIRONMENT "${_tray_test_env}"
    TIMEOUT 900
    SKIP_RETURN_CODE 77
    RUN_SERIAL TRUE)
