# The settings dialog of Scrivlet.exe, driven from another process under Wine
# and Xvfb: whole runs through the dialog, and screenshots of it for the
# user guide (written to screenshots/ in the build folder).

add_executable(drive_settings_dialog ${SCRIVLET_WINE_TESTS}/drive_settings_dialog_win32.cpp)
scrivlet_target_defaults(drive_settings_dialog)

add_test(NAME wine_settings_dialog
         COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_WINE_TESTS}/settings_dialog_e2e_test.py)
set_tests_properties(wine_settings_dialog PROPERTIES
    ENVIRONMENT "SCRIVLET_EXE=$<TARGET_FILE:Scrivlet>;SCRIVLET_DRIVE_DIALOG=$<TARGET_FILE:drive_settings_dialog>;SCRIVLET_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots"
    TIMEOUT 600
    SKIP_RETURN_CODE 77
    RUN_SERIAL TRUE)
