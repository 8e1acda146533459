# cmake -DOBJDUMP=... -DFILE=... -P CheckImports.cmake
# A module we build may import only DLLs every Windows system has: the kernel,
# windows, the C runtime, the shell and common dialogs, COM (the folder
# picker), and for the editor GDI, GDI+ and the common controls.
cmake_minimum_required(VERSION 3.20)
set(system_dlls kernel32.dll user32.dll msvcrt.dll shell32.dll comdlg32.dll ole32.dll
    gdi32.dll gdiplus.dll comctl32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE ${FILE})
    message(FATAL_ERROR "cannot read the import table of ${FILE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" entries "${dump}")
set(foreign)
foreach(entry IN LISTS entries)
    string(REPLACE "DLL Name: " "" dll "${entry}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" lower)
    if(NOT lower IN_LIST system_dlls)
        list(APPEND foreign ${dll})
    endif()
endforeach()
if(foreign)
    # Removed, so that the next build links it again instead of shipping it.
    file(REMOVE ${FILE})
    message(FATAL_ERROR "${FILE} imports non-system DLLs: ${foreign}")
endif()
