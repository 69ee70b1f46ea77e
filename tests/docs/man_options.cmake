# Fails, naming each one, when an option or a subcommand that a program's
# --help shows is missing from its manual page, so the two stay in step.
#
#   cmake -DPROGRAM=exe -DPAGE=page.1 [-DSUBCOMMANDS=ON] -P man_options.cmake
#
# With SUBCOMMANDS, every command listed by `PROGRAM --help` must have a .SS
# heading of its own, and `PROGRAM COMMAND --help` is read for its options too.
foreach(var PROGRAM PAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "man_options: ${var} not given")
  endif()
endforeach()

file(READ "${PAGE}" page)
set(raw "${page}")
# Roff writes a minus as "\-"; the options are compared as typed.
string(REPLACE "\\-" "-" page "${page}")
string(REPLACE "\\fB" "" page "${page}")
string(REPLACE "\\fI" "" page "${page}")
string(REPLACE "\\fR" "" page "${page}")
string(REPLACE "\\fP" "" page "${page}")

function(help_of out)
  execute_process(COMMAND "${PROGRAM}" ${ARGN} --help
                  OUTPUT_VARIABLE text ERROR_VARIABLE ignored RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "man_options: '${PROGRAM} ${ARGN} --help' exited with ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Words only: every other character becomes a blank, so an option is found
# whole (--break is not satisfied by --break-if).
string(REGEX REPLACE "[^A-Za-z0-9-]+" " " page " ${page} ")

set(missing "")
function(check_options text where)
  string(REGEX REPLACE "[^A-Za-z0-9-]+" " " words " ${text} ")
  string(REGEX MATCHALL " --?[A-Za-z][A-Za-z0-9-]*" found "${words}")
  foreach(option IN LISTS found)
    string(STRIP "${option}" option)
    string(FIND "${page}" " ${option} " at)
    if(at EQUAL -1)
      list(APPEND missing "${option} (${where})")
    endif()
  endforeach()
  set(missing "${missing}" PARENT_SCOPE)
endfunction()

help_of(top)
if(top STREQUAL "")
  message(FATAL_ERROR "man_options: '${PROGRAM} --help' printed nothing")
endif()
check_options("${top}" "--help")

if(SUBCOMMANDS)
  get_filename_component(name "${PROGRAM}" NAME)
  string(REGEX MATCHALL "\n  ${name} [a-z][a-z-]*" lines "${top}")
  if(lines STREQUAL "")
    message(FATAL_ERROR "man_options: '${PROGRAM} --help' lists no command")
  endif()
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ".* " "" command "${line}")
    if(NOT raw MATCHES "\n\\.SS \"?${command}[\" \n]")
      list(APPEND missing "command ${command} (no .SS heading)")
    endif()
    help_of(sub ${command})
    check_options("${sub}" "${command} --help")
  endforeach()
endif()

list(REMOVE_DUPLICATES missing)
if(missing)
  list(JOIN missing "\n  " lines)
  message(FATAL_ERROR "missing from ${PAGE}:\n  ${lines}")
endif()
message(STATUS "${PAGE}: every option of ${PROGRAM} --help is documented")
