# Fails when a file of onchip/ includes a project header from a room other
# than core/ and onchip/: the processor's own devices sit between the core
# and the board.
file(GLOB sources "${ROOT}/onchip/*.h" "${ROOT}/onchip/*.cpp")
set(faults "")
foreach(source ${sources})
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
    if(NOT header MATCHES "^(core|onchip)/")
      file(RELATIVE_PATH name "${ROOT}" "${source}")
      string(APPEND faults "\n  ${name} includes ${header}")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "onchip/ may include only core/ and onchip/ headers:${faults}")
endif()
