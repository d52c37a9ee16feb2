# The layers of the program as static libraries, one per folder (see the top
# CMakeLists.txt for the graph they form).
#
# Sources are collected by folder: a new .cpp file in a layer's folder joins
# that layer with no edit here (*_win32.cpp only in the Windows build,
# *_posix.cpp only in the native one; app/main_*.cpp are the program entries).
#
# Headers: a layer sees the headers of its own folders and of the layers it
# links, and no others. Each layer publishes its folders through a view in the
# build tree (build/<tree>/layers/<layer>/, symbolic links to the source
# folders), and that view is the include directory it passes on, so an
# `#include "listing/walk.h"` from a layer that does not link scrivlet_listing
# fails to compile.

set(SCRIVLET_LAYER_VIEWS ${CMAKE_BINARY_DIR}/layers)
set(SCRIVLET_LAYERS)

if(WIN32)
  set(_scrivlet_other_platform "_posix\\.cpp$")
else()
  set(_scrivlet_other_platform "_win32\\.cpp$")
endif()

# scrivlet_layer(TARGET [FOLDERS dir...] [FILES file...] [EXCLUDE file...])
#   FOLDERS  folders whose .cpp files are the layer's sources and whose
#            headers it publishes (list a subfolder after its parent);
#   FILES    single files (.cpp and .h) of a folder another layer owns;
#   EXCLUDE  files of FOLDERS that belong to another layer.
function(scrivlet_layer target)
  cmake_parse_arguments(L "" "" "FOLDERS;FILES;EXCLUDE" ${ARGN})
  set(view ${SCRIVLET_LAYER_VIEWS}/${target})
  file(REMOVE_RECURSE ${view})
  set(sources)
  foreach(dir IN LISTS L_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
    # A subfolder is already in the view through its parent's link.
    if(NOT EXISTS ${view}/${dir})
      get_filename_component(parent ${view}/${dir} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${dir} ${view}/${dir} SYMBOLIC)
    endif()
  endforeach()
  foreach(file IN LISTS L_FILES)
    if(file MATCHES "\\.cpp$")
      list(APPEND sources ${CMAKE_SOURCE_DIR}/${file})
    else()
      get_filename_component(parent ${view}/${file} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${file} ${view}/${file} SYMBOLIC)
    endif()
  endforeach()
  foreach(file IN LISTS L_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${file})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "${_scrivlet_other_platform}")
  list(FILTER sources EXCLUDE REGEX "/main_[^/]*\\.cpp$")

  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${view})
  scrivlet_target_defaults(${target})
  set(SCRIVLET_LAYERS ${SCRIVLET_LAYERS} ${target} PARENT_SCOPE)
endfunction()

# The version header, made from project(VERSION) by the top CMakeLists.txt.
add_library(scrivlet_version INTERFACE)
target_include_directories(scrivlet_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# Shift-JIS text and path helpers: the bottom layer.
scrivlet_layer(scrivlet_text FOLDERS text)

# The platform calls table and its two implementations, by file name:
# platform/win32/ in the Windows build, platform/posix/ in the native one.
scrivlet_layer(scrivlet_platform FOLDERS platform)
if(WIN32)
  file(GLOB _platform_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
else()
  file(GLOB _platform_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/posix/*.cpp)
  find_package(Threads REQUIRED)
  target_link_libraries(scrivlet_platform PUBLIC Threads::Threads)
endif()
target_sources(scrivlet_platform PRIVATE ${_platform_sources})
target_link_libraries(scrivlet_platform PRIVATE scrivlet_text)

# Window helpers, debug trace, message box.
scrivlet_layer(scrivlet_toolwind FOLDERS TOOLS/toolwind)
target_link_libraries(scrivlet_toolwind PUBLIC scrivlet_platform PRIVATE scrivlet_text)

# The records of a run that the layers below app/ build on: the job settings,
# the signalled test of the worker's events, the file tests of the dialog and
# the list file named after the folder (/auto and the dialog's "自動").
set(_app_records app/settings.h app/settings.cpp app/exit_status.h app/user_path.h app/user_path.cpp app/is_signalled.h
    app/is_signalled.cpp app/file_tests.h app/file_tests.cpp app/auto_output_name.h app/auto_output_name.cpp
    app/platform_rules.h)
scrivlet_layer(scrivlet_app_records FILES ${_app_records})
target_link_libraries(scrivlet_app_records PUBLIC scrivlet_text scrivlet_platform)

# The wildcard filter and the regular-expression engine.
scrivlet_layer(scrivlet_filters FOLDERS filters filters/regex)
target_link_libraries(scrivlet_filters PUBLIC scrivlet_text PRIVATE scrivlet_app_records scrivlet_toolwind)

# The worker thread (ui/progress/worker.*) and the listing job that runs on it
# depend on each other: the job polls its worker, and a worker made for a run
# starts the listing job. Static libraries may form such a cycle.
scrivlet_layer(scrivlet_worker FILES ui/progress/worker.h ui/progress/worker.cpp)
target_link_libraries(scrivlet_worker PUBLIC scrivlet_platform PRIVATE scrivlet_app_records)

scrivlet_layer(scrivlet_listing FOLDERS listing)
target_link_libraries(scrivlet_listing
  PUBLIC scrivlet_app_records scrivlet_worker scrivlet_filters scrivlet_text scrivlet_platform
  PRIVATE scrivlet_toolwind)
target_link_libraries(scrivlet_worker PRIVATE scrivlet_listing)

# The progress window with its tray icon (Windows) and its dialog template.
scrivlet_layer(scrivlet_progress FOLDERS ui/progress EXCLUDE ui/progress/worker.cpp)
target_link_libraries(scrivlet_progress PUBLIC scrivlet_worker scrivlet_platform PRIVATE scrivlet_text scrivlet_toolwind)

# The settings dialog, its 詳細設定 dialog, its choosers and the automatic names.
scrivlet_layer(scrivlet_settings_ui FOLDERS ui/settings)
target_link_libraries(scrivlet_settings_ui PUBLIC scrivlet_text scrivlet_app_records PRIVATE scrivlet_toolwind)

# Resource ids shared by the resource script and the code.
add_library(scrivlet_resource_ids INTERFACE)
file(MAKE_DIRECTORY ${SCRIVLET_LAYER_VIEWS}/scrivlet_resource_ids/res)
file(CREATE_LINK ${CMAKE_SOURCE_DIR}/res/resource.h ${SCRIVLET_LAYER_VIEWS}/scrivlet_resource_ids/res/resource.h SYMBOLIC)
target_include_directories(scrivlet_resource_ids INTERFACE ${SCRIVLET_LAYER_VIEWS}/scrivlet_resource_ids)

# The windows that tell about the program: its usage (/?) and its version
# (the settings dialog's system menu). Only the Windows program has them.
if(WIN32)
  scrivlet_layer(scrivlet_info_ui FOLDERS ui/info)
  target_link_libraries(scrivlet_info_ui PUBLIC scrivlet_platform PRIVATE scrivlet_text scrivlet_toolwind
                        scrivlet_version scrivlet_resource_ids)
  target_link_libraries(scrivlet_settings_ui PRIVATE scrivlet_info_ui)
endif()

# The program around the job: command line, main flow, process entries.
scrivlet_layer(scrivlet_app FOLDERS app EXCLUDE ${_app_records})
target_link_libraries(scrivlet_app
  PUBLIC scrivlet_app_records scrivlet_worker scrivlet_progress scrivlet_settings_ui scrivlet_toolwind
         scrivlet_platform scrivlet_text scrivlet_version
  PRIVATE scrivlet_resource_ids scrivlet_listing)  # the job's result codes are the exit statuses
if(WIN32)
  target_link_libraries(scrivlet_app PRIVATE scrivlet_info_ui)
endif()

# Everything, for the tests, the fuzzers and the benchmarks, which may reach
# into any layer.
add_library(scrivlet_core INTERFACE)
target_link_libraries(scrivlet_core INTERFACE ${SCRIVLET_LAYERS} scrivlet_version)
target_include_directories(scrivlet_core INTERFACE ${CMAKE_SOURCE_DIR})
