# The Windows program as shipped: statically linked, so that it needs no DLL
# of the compiler's runtime beside it, and under the size budget once stripped
# of its symbols (the test build keeps debug information; the Release build
# ships without). Run as cmake -DPROGRAM=... -DSTRIP=... -DOBJDUMP=...
# -DCOPY=... -DLIMIT=bytes -P program-size-test.cmake.
execute_process(COMMAND ${STRIP} -o ${COPY} ${PROGRAM} RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "${STRIP} failed on ${PROGRAM}")
endif()
file(SIZE ${COPY} size)
file(REMOVE ${COPY})
message(STATUS "stripped size: ${size} bytes (limit ${LIMIT})")
if(NOT size LESS LIMIT)
  message(FATAL_ERROR "the stripped program has ${size} bytes, not under ${LIMIT}")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE dumped)
if(NOT dumped EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "no imported DLL found: the headers were not read")
endif()
message(STATUS "imports: ${imports}")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|msvcrt|advapi32|user32|ntdll)\\.dll$" AND
     NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "the program needs ${dll}: not statically linked")
  endif()
endforeach()
