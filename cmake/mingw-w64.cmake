# Cross build for 64-bit Windows with MinGW-w64 (posix thread model: the
# standard library's threads and mutexes need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SPOOLEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SPOOLEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SPOOLEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SPOOLEX_MINGW_TRIPLE}-windres)
set(CMAKE_ASM-ATT_COMPILER ${SPOOLEX_MINGW_TRIPLE}-as)

# Third-party libraries built by scripts/windows-deps.sh.
get_filename_component(SPOOLEX_MINGW_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../third_party_cache/mingw"
                       ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${SPOOLEX_MINGW_TRIPLE} ${SPOOLEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
