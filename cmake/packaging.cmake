# Release packages, made with CPack from the installed files:
#
#   cmake --build --preset mingw --target package    Scrivlet-VERSION-win64.zip
#   cmake --build --preset native --target package   scrivlet_VERSION_ARCH.deb
#
# (or `cpack --preset mingw` / `cpack --preset native` after a build). The
# version is project(VERSION), as in the exe's version resource and --version.
# The programs are stripped on the way into the package (CPACK_STRIP_FILES).

find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(${CMAKE_CURRENT_LIST_DIR}/exit_statuses.cmake)
set(SCRIVLET_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(SCRIVLET_PACKAGE_FILES ${CMAKE_BINARY_DIR}/packaging)

set(CPACK_PACKAGE_VENDOR "Scrivlet")
set(CPACK_PACKAGE_CONTACT "Scrivlet maintainers <maintainers@users.noreply.c-seed-66877002.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "writes the names of the files in a folder into a text file")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  # The exe and a short guide in Japanese, as Windows Notepad reads it best:
  # code page 932 with CR LF.
  configure_file(${SCRIVLET_PACKAGING}/guide_ja.txt.in ${SCRIVLET_PACKAGE_FILES}/guide_ja.utf8.txt @ONLY)
  add_custom_command(
    OUTPUT ${SCRIVLET_PACKAGE_FILES}/readme_ja.txt
    COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_PACKAGING}/cp932_crlf.py ${SCRIVLET_PACKAGE_FILES}/guide_ja.utf8.txt
            ${SCRIVLET_PACKAGE_FILES}/readme_ja.txt
    DEPENDS ${SCRIVLET_PACKAGING}/cp932_crlf.py ${SCRIVLET_PACKAGE_FILES}/guide_ja.utf8.txt
    COMMENT "Writing the Japanese guide in code page 932")
  add_custom_target(scrivlet_guide ALL DEPENDS ${SCRIVLET_PACKAGE_FILES}/readme_ja.txt)

  install(TARGETS Scrivlet RUNTIME DESTINATION .)
  install(FILES ${SCRIVLET_PACKAGE_FILES}/readme_ja.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Scrivlet)
  set(CPACK_PACKAGE_FILE_NAME Scrivlet-${PROJECT_VERSION}-win64)
else()
  # The program, its manual page (gzip -9n, as Debian keeps them) and the
  # copyright file where Debian looks for it.
  configure_file(${SCRIVLET_PACKAGING}/scrivlet.1.in ${SCRIVLET_PACKAGE_FILES}/scrivlet.1 @ONLY)
  add_custom_command(
    OUTPUT ${SCRIVLET_PACKAGE_FILES}/scrivlet.1.gz
    COMMAND gzip -9nkf ${SCRIVLET_PACKAGE_FILES}/scrivlet.1
    DEPENDS ${SCRIVLET_PACKAGE_FILES}/scrivlet.1
    COMMENT "Compressing the manual page")
  add_custom_target(scrivlet_manual ALL DEPENDS ${SCRIVLET_PACKAGE_FILES}/scrivlet.1.gz)

  include(GNUInstallDirs)
  install(TARGETS scrivlet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${SCRIVLET_PACKAGE_FILES}/scrivlet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${SCRIVLET_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/scrivlet)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME scrivlet)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION "Scrivlet writes the names of the files in a folder, optionally its whole tree,\ninto a text file in code page 932, one name per line: folders first, names\nordered without regard to letter case, with an optional wildcard or\nregular-expression filter.")
endif()

include(CPack)
