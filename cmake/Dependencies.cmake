# Third-party libraries, each behind one target name. A native build takes
# Debian's packages; a cross build that compiles a library from source defines
# the same target before this file is included, and it is left alone.

# TinyXML 1: reads the settings file.
if(NOT TARGET spoolex::tinyxml)
    find_path(SPOOLEX_TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
    find_library(SPOOLEX_TINYXML_LIBRARY tinyxml REQUIRED)
    add_library(spoolex::tinyxml UNKNOWN IMPORTED GLOBAL)
    set_target_properties(spoolex::tinyxml PROPERTIES
        IMPORTED_LOCATION "${SPOOLEX_TINYXML_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${SPOOLEX_TINYXML_INCLUDE_DIR}"
        # Debian's library is built with the standard-library interface, which
        # changes its classes' layout: every user must see the same.
        INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
endif()

# WavPack: the take streams in the song data (headers as <wavpack/wavpack.h>).
if(NOT TARGET spoolex::wavpack)
    find_path(SPOOLEX_WAVPACK_INCLUDE_DIR wavpack/wavpack.h REQUIRED)
    find_library(SPOOLEX_WAVPACK_LIBRARY wavpack REQUIRED)
    add_library(spoolex::wavpack UNKNOWN IMPORTED GLOBAL)
    set_target_properties(spoolex::wavpack PROPERTIES
        IMPORTED_LOCATION "${SPOOLEX_WAVPACK_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${SPOOLEX_WAVPACK_INCLUDE_DIR}")
endif()

# libsndfile: imports of FLAC, AIFF and other formats beside WAV. Debian's
# package natively; the Windows build has it when scripts/windows-deps.sh
# built it (with FLAC, statically), and without it imports WAV files only.
if(NOT TARGET spoolex::sndfile)
    if(CMAKE_CROSSCOMPILING)
        find_path(SPOOLEX_SNDFILE_INCLUDE_DIR sndfile.h)
        # libsndfile and the codec libraries it reads through, in link order.
        set(codec_libraries)
        set(all_found TRUE)
        foreach(name sndfile FLAC vorbisenc vorbis opus ogg)
            find_library(SPOOLEX_${name}_LIBRARY ${name})
            if(NOT SPOOLEX_${name}_LIBRARY)
                set(all_found FALSE)
            endif()
            list(APPEND codec_libraries "${SPOOLEX_${name}_LIBRARY}")
        endforeach()
        if(SPOOLEX_SNDFILE_INCLUDE_DIR AND all_found)
            list(POP_FRONT codec_libraries sndfile_library)
            add_library(spoolex::sndfile UNKNOWN IMPORTED GLOBAL)
            set_target_properties(spoolex::sndfile PROPERTIES
                IMPORTED_LOCATION "${sndfile_library}"
                INTERFACE_INCLUDE_DIRECTORIES "${SPOOLEX_SNDFILE_INCLUDE_DIR}"
                INTERFACE_LINK_LIBRARIES "${codec_libraries}")
        else()
            message(WARNING "libsndfile for Windows is missing: the generator imports WAV "
                            "files only (scripts/windows-deps.sh builds it)")
        endif()
    else()
        find_package(PkgConfig REQUIRED)
        pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET GLOBAL sndfile)
        add_library(spoolex::sndfile ALIAS PkgConfig::SNDFILE)
    endif()
endif()
