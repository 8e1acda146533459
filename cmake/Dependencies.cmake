# Third-party libraries, each behind one target name so that a cross build
# can define the same names from its own builds of the libraries.

# spoolex::wavpack: the WavPack library (headers as <wavpack/wavpack.h>).
if(NOT TARGET spoolex::wavpack)
    find_package(PkgConfig QUIET)
    if(PkgConfig_FOUND)
        pkg_check_modules(SPOOLEX_WAVPACK QUIET IMPORTED_TARGET wavpack)
    endif()
    add_library(spoolex::wavpack INTERFACE IMPORTED GLOBAL)
    if(SPOOLEX_WAVPACK_FOUND)
        target_link_libraries(spoolex::wavpack INTERFACE PkgConfig::SPOOLEX_WAVPACK)
    else()
        find_path(SPOOLEX_WAVPACK_INCLUDE_DIR wavpack/wavpack.h REQUIRED)
        find_library(SPOOLEX_WAVPACK_LIBRARY wavpack REQUIRED)
        target_include_directories(spoolex::wavpack INTERFACE ${SPOOLEX_WAVPACK_INCLUDE_DIR})
        target_link_libraries(spoolex::wavpack INTERFACE ${SPOOLEX_WAVPACK_LIBRARY})
    endif()
endif()
