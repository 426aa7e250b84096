# Fails when kelvast.exe, stripped, is larger than its budget or imports a DLL that is not part of
# Windows (a runtime DLL left dynamic, a library linked by mistake), or when its header is not
# marked Terminal Server aware for subsystem version 6.1. comdlg32 is not allowed either: the file
# chooser loads it when first used, so that start-up does not pay for it.
#   cmake -DEXE=kelvast.exe -DSTRIP=strip -DOBJDUMP=objdump -DWORK_DIR=dir [-DLIMIT=bytes] -P check-footprint.cmake
cmake_minimum_required(VERSION 3.20)

if(NOT DEFINED LIMIT)
    set(LIMIT 81920)
endif()
set(allowed ADVAPI32.DLL COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL)

foreach(var EXE STRIP OBJDUMP WORK_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

set(copy ${WORK_DIR}/kelvast-stripped.exe)
execute_process(COMMAND ${CMAKE_COMMAND} -E copy ${EXE} ${copy} RESULT_VARIABLE copied)
execute_process(COMMAND ${STRIP} ${copy} RESULT_VARIABLE stripped)
if(NOT copied EQUAL 0 OR NOT stripped EQUAL 0)
    message(FATAL_ERROR "could not copy and strip ${EXE}")
endif()
file(SIZE ${copy} size)
message(STATUS "kelvast.exe stripped: ${size} bytes (limit ${LIMIT})")

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE dumped)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT dumped EQUAL 0 OR NOT lines)
    message(FATAL_ERROR "no import table read from ${EXE}")
endif()
set(foreign)
foreach(line IN LISTS lines)
    string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
    string(STRIP "${dll}" dll)
    message(STATUS "imports ${dll}")
    string(TOUPPER "${dll}" upper)
    if(NOT upper IN_LIST allowed)
        list(APPEND foreign ${dll})
    endif()
endforeach()

# objdump prints the versions as decimal numbers and names each DllCharacteristics flag on a line.
set(header_faults)
if(NOT dump MATCHES "MajorSubsystemVersion[ \t]+6[\r\n]" OR NOT dump MATCHES "MinorSubsystemVersion[ \t]+1[\r\n]")
    list(APPEND header_faults "subsystem version 6.1")
endif()
if(NOT dump MATCHES "TERMINAL_SERVICE_AWARE")
    list(APPEND header_faults "Terminal Server aware")
endif()

if(size GREATER LIMIT)
    message(FATAL_ERROR "kelvast.exe stripped is ${size} bytes, over the limit of ${LIMIT}")
endif()
if(foreign)
    message(FATAL_ERROR "kelvast.exe imports DLLs that are not allowed: ${foreign}")
endif()
if(header_faults)
    message(FATAL_ERROR "kelvast.exe's header is not marked: ${header_faults}")
endif()
