# The Windows program: one self-contained, statically linked GUI executable.

enable_language(RC)
# windres reads a UTF-8 .rc correctly only when told so.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
set(SCRIVLET_WIN32_LIBS comctl32 ole32 shell32 comdlg32 user32 gdi32 kernel32 uuid)
target_link_libraries(scrivlet_platform PUBLIC ${SCRIVLET_WIN32_LIBS})
add_link_options(-static -static-libgcc -static-libstdc++)

add_executable(Scrivlet WIN32 app/main_win32.cpp res/scrivlet.rc)
# windres looks for the icon file in the include directories.
target_include_directories(Scrivlet PRIVATE ${CMAKE_SOURCE_DIR}/res)
# What the resource script pulls in; the tests' CMakeLists uses it too, since
# source properties hold only in the folder that sets them.
set(SCRIVLET_RC_DEPENDS
  ${CMAKE_SOURCE_DIR}/res/scrivlet.ico ${CMAKE_SOURCE_DIR}/res/resource.h ${CMAKE_SOURCE_DIR}/res/scrivlet.manifest
  ${CMAKE_SOURCE_DIR}/res/settings_dialog.rc ${CMAKE_SOURCE_DIR}/ui/settings/settings_ids.h
  ${CMAKE_BINARY_DIR}/generated/scrivlet_version.h)
set_source_files_properties(res/scrivlet.rc PROPERTIES OBJECT_DEPENDS "${SCRIVLET_RC_DEPENDS}")
target_link_libraries(Scrivlet PRIVATE scrivlet_app scrivlet_toolwind scrivlet_version)
scrivlet_target_defaults(Scrivlet)
target_link_options(Scrivlet PRIVATE -mwindows)
