# End-to-end tests of the native command-line program on real trees on disk.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(suite IN ITEMS cli cli_paths cli_switches cli_output)
  string(REPLACE "cli" "scrivlet_cli" _script ${suite})
  add_test(NAME ${suite}_end_to_end
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/${_script}_test.py)
  set_tests_properties(${suite}_end_to_end PROPERTIES
      ENVIRONMENT "SCRIVLET_PROGRAM=$<TARGET_FILE:scrivlet>"
      TIMEOUT 300)
endforeach()
add_test(NAME cli_complete_lists
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/complete_lists_test.py)
set_tests_properties(cli_complete_lists PROPERTIES
    ENVIRONMENT "SCRIVLET_PROGRAM=$<TARGET_FILE:scrivlet>"
    TIMEOUT 300)
# Signals at many moments of a run, and lists that are links, read-only,
# standard output or short of memory.
foreach(suite IN ITEMS signals list_targets)
  add_test(NAME cli_${suite} COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/${suite}_test.py)
  set_tests_properties(cli_${suite} PROPERTIES
      ENVIRONMENT "SCRIVLET_PROGRAM=$<TARGET_FILE:scrivlet>;SCRIVLET_SANITIZED=$<BOOL:${SCRIVLET_SANITIZE}>"
      TIMEOUT 300)
endforeach()
