# Fails when a manual page does not render cleanly: groff's warnings (all of
# them, -ww) and, when man-db is there, a NAME section lexgrog cannot read
# (whatis and apropos would not find the page). Without groff it says it
# skipped, which the test's SKIP_REGULAR_EXPRESSION takes as a skip.
#
#   cmake -DPAGE=page.1 -P man_render.cmake
find_program(GROFF groff)
if(NOT GROFF)
  message(STATUS "groff not found: skipped")
  return()
endif()
execute_process(COMMAND "${GROFF}" -man -ww -z -Tutf8 "${PAGE}"
                ERROR_VARIABLE warnings RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "${PAGE} does not render cleanly:\n${warnings}")
endif()
find_program(LEXGROG lexgrog)
if(LEXGROG)
  execute_process(COMMAND "${LEXGROG}" "${PAGE}" OUTPUT_VARIABLE whatis RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PAGE}: lexgrog finds no NAME line:\n${whatis}")
  endif()
endif()
message(STATUS "${PAGE} renders cleanly")
