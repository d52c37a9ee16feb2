# The release packages (cmake/packaging.cmake), tested as a user gets them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(_package_test_env
    "SCRIVLET_BUILD_DIR=${CMAKE_BINARY_DIR}"
    "SCRIVLET_VERSION=${PROJECT_VERSION}"
    "CMAKE_COMMAND=${CMAKE_COMMAND}"
    "CPACK_COMMAND=${CMAKE_CPACK_COMMAND}")
if(WIN32)
  # The zip, and its exe under Wine.
  scrivlet_wine_test(wine_package_zip package_zip_test.py TIMEOUT 600 ENVIRONMENT ${_package_test_env})
else()
  # The .deb's files installed into a temporary root, and the .deb itself.
  add_test(NAME package_deb COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/deb_package_test.py)
  set_tests_properties(package_deb PROPERTIES ENVIRONMENT "${_package_test_env}" TIMEOUT 600)
endif()
