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
