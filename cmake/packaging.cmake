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
set(CPACK_PACKAGE_CONTACT "Scrivlet developers <scrivlet@users.noreply.github.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/scrivlet/scrivlet")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "writes the names of the files in a folder into a text file")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  # The exe, a short guide in Japanese and the licence, as Windows Notepad
  # reads them best: code page 932 with CR LF (the licence is ASCII).
  configure_file(${SCRIVLET_PACKAGING}/guide_ja.txt.in ${SCRIVLET_PACKAGE_FILES}/guide_ja.utf8.txt @ONLY)
  foreach(pair IN ITEMS "${SCRIVLET_PACKAGE_FILES}/guide_ja.utf8.txt|readme_ja.txt"
                        "${CMAKE_SOURCE_DIR}/LICENSE|LICENSE.txt")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    add_custom_command(
      OUTPUT ${SCRIVLET_PACKAGE_FILES}/${to}
      COMMAND ${Python3_EXECUTABLE} ${SCRIVLET_PACKAGING}/cp932_crlf.py ${from} ${SCRIVLET_PACKAGE_FILES}/${to}
      DEPENDS ${SCRIVLET_PACKAGING}/cp932_crlf.py ${from}
      COMMENT "Writing ${to} in code page 932 with CR LF")
  endforeach()
  add_custom_target(scrivlet_guide ALL DEPENDS ${SCRIVLET_PACKAGE_FILES}/readme_ja.txt
                                               ${SCRIVLET_PACKAGE_FILES}/LICENSE.txt)

  install(TARGETS Scrivlet RUNTIME DESTINATION .)
  install(FILES ${SCRIVLET_PACKAGE_FILES}/readme_ja.txt ${SCRIVLET_PACKAGE_FILES}/LICENSE.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Scrivlet)
  set(CPACK_PACKAGE_FILE_NAME Scrivlet-${PROJECT_VERSION}-win64)
else()
  # The program, its manual pages in English and Japanese, the changelog
  # (each gzip -9n, as Debian keeps them) and the copyright file where Debian
  # looks for it.
  configure_file(${SCRIVLET_PACKAGING}/scrivlet.1.in ${SCRIVLET_PACKAGE_FILES}/man/scrivlet.1 @ONLY)
  configure_file(${SCRIVLET_PACKAGING}/scrivlet.ja.1.in ${SCRIVLET_PACKAGE_FILES}/man/ja/scrivlet.1 @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/CHANGELOG.md ${SCRIVLET_PACKAGE_FILES}/doc/changelog COPYONLY)
  set(compressed "")
  foreach(file IN ITEMS man/scrivlet.1 man/ja/scrivlet.1 doc/changelog)
    add_custom_command(
      OUTPUT ${SCRIVLET_PACKAGE_FILES}/${file}.gz
      COMMAND gzip -9nkf ${SCRIVLET_PACKAGE_FILES}/${file}
      DEPENDS ${SCRIVLET_PACKAGE_FILES}/${file}
      COMMENT "Compressing ${file}")
    list(APPEND compressed ${SCRIVLET_PACKAGE_FILES}/${file}.gz)
  endforeach()
  add_custom_target(scrivlet_manual ALL DEPENDS ${compressed})

  include(GNUInstallDirs)
  set(docs ${CMAKE_INSTALL_DATAROOTDIR}/doc/scrivlet)
  install(TARGETS scrivlet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${SCRIVLET_PACKAGE_FILES}/man/scrivlet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${SCRIVLET_PACKAGE_FILES}/man/ja/scrivlet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
  install(FILES ${SCRIVLET_PACKAGING}/copyright ${SCRIVLET_PACKAGE_FILES}/doc/changelog.gz DESTINATION ${docs})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME scrivlet)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CPACK_PACKAGE_HOMEPAGE_URL})
  set(CPACK_PACKAGE_DESCRIPTION "Scrivlet writes the names of the files in a folder, optionally its whole tree,\ninto a text file in code page 932, one name per line: folders first, names\nordered without regard to letter case, with an optional wildcard or\nregular-expression filter.")
endif()

include(CPack)
