# Installs the build into a fresh prefix, as `cmake --install BUILD --prefix
# DIR` does, and fails naming any manual page that is not in share/man/man1.
#
#   cmake -DBUILD=dir -DPREFIX=dir -DMANDIR=share/man -DPAGES="a.1;b.1" -P install_man.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${errors}")
endif()
set(missing "")
foreach(page IN LISTS PAGES)
  if(NOT EXISTS "${PREFIX}/${MANDIR}/man1/${page}")
    list(APPEND missing "${page}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
if(missing)
  message(FATAL_ERROR "not installed in ${MANDIR}/man1: ${missing}")
endif()
message(STATUS "installed: ${PAGES}")
