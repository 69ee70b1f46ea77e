# Fails when a file of ROOM/ includes a project header from a room outside
# ALLOWED (a regular expression of room names): a room builds only on the
# rooms below it.
file(GLOB sources "${ROOT}/${ROOM}/*.h" "${ROOT}/${ROOM}/*.cpp")
set(faults "")
foreach(source ${sources})
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
    if(NOT header MATCHES "^(${ALLOWED})/")
      file(RELATIVE_PATH name "${ROOT}" "${source}")
      string(APPEND faults "\n  ${name} includes ${header}")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "${ROOM}/ may include only ${ALLOWED} headers:${faults}")
endif()
