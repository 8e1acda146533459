# The Windows cross build: everything linked statically, test programs run
# under Wine, and a check that what we ship imports system DLLs only.

# Users install one file per plug-in and nothing beside it; test programs
# run from the build folder without MinGW's runtime DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)

# The generator's menu and dialog templates (generator/resources/).
enable_language(RC)

# CTest runs the Windows programs (and lists their tests) through Wine.
if(CMAKE_CROSSCOMPILING)
    set(SPOOLEX_WINE_TIMEOUT 120 CACHE STRING "Seconds one Wine run may take")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# spoolex_check_imports(target): after linking, fails (and removes the file)
# when the module imports anything but the system's own DLLs.
find_program(SPOOLEX_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump
                                   x86_64-w64-mingw32-objdump objdump REQUIRED)
function(spoolex_check_imports target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${SPOOLEX_OBJDUMP} -DFILE=$<TARGET_FILE:${target}>
                -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake
        VERBATIM)
endfunction()

# WavPack and TinyXML for Windows come from scripts/windows-deps.sh; the
# toolchain's search root makes Dependencies.cmake find them.
if(CMAKE_CROSSCOMPILING AND NOT EXISTS "${SPOOLEX_MINGW_PREFIX}/lib/libwavpack.a")
    message(FATAL_ERROR "WavPack and TinyXML for Windows are missing: run scripts/windows-deps.sh")
endif()
