# WavPack and TinyXML as imported targets spoolex::wavpack and
# spoolex::tinyxml. Natively they are Debian's packages; in the Windows cross
# build they are the static libraries scripts/windows-deps.sh builds, found
# through the toolchain's search root.
function(spoolex_import_library target header_name header_hint library_name)
    find_path(${target}_INCLUDE_DIR ${header_name} PATH_SUFFIXES ${header_hint})
    if(WIN32)
        set(names lib${library_name}.a)
    else()
        set(names ${library_name})
    endif()
    find_library(${target}_LIBRARY NAMES ${names})
    if(NOT ${target}_INCLUDE_DIR OR NOT ${target}_LIBRARY)
        if(CMAKE_CROSSCOMPILING)
            message(FATAL_ERROR "${library_name} for Windows is missing: run scripts/windows-deps.sh")
        else()
            message(FATAL_ERROR "${library_name} is missing: run scripts/install-deps.sh")
        endif()
    endif()
    add_library(spoolex::${target} UNKNOWN IMPORTED GLOBAL)
    set_target_properties(spoolex::${target} PROPERTIES
        IMPORTED_LOCATION "${${target}_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${${target}_INCLUDE_DIR}")
endfunction()

# Include as <wavpack/wavpack.h>.
spoolex_import_library(wavpack wavpack/wavpack.h "" wavpack)
# Include as <tinyxml.h>; Debian's build always uses the standard library.
spoolex_import_library(tinyxml tinyxml.h "" tinyxml)
set_property(TARGET spoolex::tinyxml PROPERTY INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
