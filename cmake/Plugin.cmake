# spoolex_add_plugin(target FILE_NAME name GEAR_FOLDER Generators|Effects SOURCES ...)
# Builds a host plug-in module named exactly as the host expects it and puts it
# in <build>/Gear/<folder>.
function(spoolex_add_plugin target)
    cmake_parse_arguments(ARG "" "FILE_NAME;GEAR_FOLDER" "SOURCES" ${ARGN})
    add_library(${target} MODULE ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        OUTPUT_NAME "${ARG_FILE_NAME}"
        LIBRARY_OUTPUT_DIRECTORY "${SPOOLEX_GEAR_DIR}/${ARG_GEAR_FOLDER}"
        RUNTIME_OUTPUT_DIRECTORY "${SPOOLEX_GEAR_DIR}/${ARG_GEAR_FOLDER}")
    if(WIN32)
        # Users install one file: no runtime DLLs beside it.
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
        spoolex_check_imports(${target})
    else()
        # The module's own references bind to its own definitions.
        target_link_options(${target} PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
    endif()
endfunction()
