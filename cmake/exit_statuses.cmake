# The exit-status sections of the documents, made at configure time from the
# one list of statuses (the EXIT_STATUSES rows of app/exit_status.h):
#
#   scrivlet_exit_statuses(VAR FORMAT man|text LANGUAGE en|ja [WINDOWS])
#
# sets VAR to the section's body: manual page paragraphs (.TP, .B STATUS,
# the meaning) or, for a plain-text document, one indented line a status.
# WINDOWS leaves out the statuses only the Linux program gives. A document
# takes its section as @VARIABLE@ in its .in file; each has its variable:
#
#   SCRIVLET_EXIT_STATUSES_MAN_EN    packaging/scrivlet.1.in (English)
#   SCRIVLET_EXIT_STATUSES_MAN_JA    packaging/scrivlet.ja.1.in (Japanese)
#   SCRIVLET_EXIT_STATUSES_GUIDE_JA  packaging/guide_ja.txt.in (Windows)

set(SCRIVLET_EXIT_STATUS_LIST ${CMAKE_SOURCE_DIR}/app/exit_status.h)
# A changed list configures the documents anew.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SCRIVLET_EXIT_STATUS_LIST})

function(scrivlet_exit_statuses var)
  cmake_parse_arguments(S "WINDOWS" "FORMAT;LANGUAGE" "" ${ARGN})
  file(READ ${SCRIVLET_EXIT_STATUS_LIST} list)
  # One row may run over several lines; a ";" would split a CMake list.
  string(REPLACE "\\\n" " " list "${list}")
  string(REPLACE ";" "<semicolon>" list "${list}")
  set(row_pattern "XX\\((EXIT_[A-Z_]+), *([0-9]+), *(EXIT_[A-Z_]+), *\"([^\"]*)\", *\"([^\"]*)\"\\)")
  string(REGEX MATCHALL "${row_pattern}" rows "${list}")
  string(REGEX MATCHALL "XX\\(EXIT_" starts "${list}")
  list(LENGTH rows count)
  list(LENGTH starts expected)
  if(count EQUAL 0 OR NOT count EQUAL expected)
    message(FATAL_ERROR "${SCRIVLET_EXIT_STATUS_LIST}: ${count} of ${expected} EXIT_STATUSES rows read")
  endif()

  set(section "")
  foreach(row IN LISTS rows)
    string(REGEX MATCH "${row_pattern}" _ "${row}")
    set(value ${CMAKE_MATCH_2})
    if(S_WINDOWS AND CMAKE_MATCH_3 STREQUAL "EXIT_POSIX_ONLY")
      continue()
    endif()
    if(S_LANGUAGE STREQUAL "en")
      set(meaning "${CMAKE_MATCH_5}")
    else()
      set(meaning "${CMAKE_MATCH_4}")
    endif()
    string(REPLACE "<semicolon>" ";" meaning "${meaning}")
    if(S_FORMAT STREQUAL "man")
      # A line of text that begins with "." or "'" would be a request.
      string(REGEX REPLACE "^([.'])" "\\\\&\\1" meaning "${meaning}")
      string(APPEND section ".TP\n.B ${value}\n${meaning}\n")
    else()
      string(LENGTH "${value}" width)
      string(SUBSTRING "     " ${width} -1 pad)
      string(APPEND section "  ${value}${pad}${meaning}\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n$" "" section "${section}")
  set(${var} "${section}" PARENT_SCOPE)
endfunction()

scrivlet_exit_statuses(SCRIVLET_EXIT_STATUSES_MAN_EN FORMAT man LANGUAGE en)
scrivlet_exit_statuses(SCRIVLET_EXIT_STATUSES_MAN_JA FORMAT man LANGUAGE ja)
scrivlet_exit_statuses(SCRIVLET_EXIT_STATUSES_GUIDE_JA FORMAT text LANGUAGE ja WINDOWS)
