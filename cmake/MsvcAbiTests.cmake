# Binary compatibility with a host built by the Windows system compiler: a
# part of a test host compiled by clang for the MSVC C++ ABI drives the
# generator DLL, and the virtual table layouts both compilers report for the
# host interfaces are compared.
find_program(SPOOLEX_CLANGXX NAMES clang++ REQUIRED)

set(msvc_source ${PROJECT_SOURCE_DIR}/tests/abi/MsvcHostSide.cpp)
set(msvc_object ${CMAKE_CURRENT_BINARY_DIR}/MsvcHostSide.obj)
set(msvc_flags --target=x86_64-pc-windows-msvc -std=c++17 -fno-exceptions -fno-rtti -O1
    -Wall -Wextra -Wno-unused-parameter -Werror -I${PROJECT_SOURCE_DIR})
add_custom_command(OUTPUT ${msvc_object}
    COMMAND ${SPOOLEX_CLANGXX} ${msvc_flags} -c ${msvc_source} -o ${msvc_object}
    DEPENDS ${msvc_source} ${PROJECT_SOURCE_DIR}/tests/abi/MsvcHostDeclarations.h
            ${PROJECT_SOURCE_DIR}/tests/abi/MsvcHostRun.h
    COMMENT "Compiling the MSVC-ABI host part"
    VERBATIM)
set_source_files_properties(${msvc_object} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)

spoolex_add_test(abi_tests
    SOURCES abi/MsvcHostTest.cpp ${msvc_object}
    LIBRARIES spoolex_platform)

add_test(NAME VtableLayout.MsvcAndMinGWAgree
    COMMAND ${PROJECT_SOURCE_DIR}/tests/abi/compare-vtables.sh ${SPOOLEX_CLANGXX}
            ${CMAKE_CXX_COMPILER} ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/vtables)
