# The portable subsystems and the platform layer of the current build,
# collected by folder; see the file-name rules in the top CMakeLists.txt.

set(_portable_dirs text filters filters/regex listing app ui/progress ui/settings TOOLS/toolwind)
set(SCRIVLET_CORE_SOURCES)
foreach(dir IN LISTS _portable_dirs)
  file(GLOB _found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  list(APPEND SCRIVLET_CORE_SOURCES ${_found})
endforeach()
list(FILTER SCRIVLET_CORE_SOURCES EXCLUDE REGEX "/main_[^/]*\\.cpp$")

if(WIN32)
  list(FILTER SCRIVLET_CORE_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
  file(GLOB _platform CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
else()
  list(FILTER SCRIVLET_CORE_SOURCES EXCLUDE REGEX "_win32\\.cpp$")
  file(GLOB _platform CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/posix/*.cpp)
endif()
list(APPEND SCRIVLET_CORE_SOURCES ${_platform})
