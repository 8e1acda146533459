# cmake -DSOURCE_DIR=<top of the tree> [-DSTAMP=<file to touch>] -P CheckLayers.cmake
# Each folder is one layer; a file may include headers of its own folder and
# of the folders its layer looks down on, never one from a layer above.
# Below platform/ and hostsdk/ a folder follows its parent's rule
# (platform/posix); every folder of the generator needs a rule of its own.
cmake_minimum_required(VERSION 3.20)

set(below_model hostsdk)
set(below_store generator/model ${below_model})
# The machine reads its settings file beside the plug-in: of the platform it
# sees only the module path, never a window, dialog or drawing.
set(below_machine generator/settings generator/wavestore ${below_store}
    input/InputMachineLayout.h platform/ModulePath.h)
set(below_transfers generator/machine ${below_machine})
set(below_editor generator/transfers ${below_transfers} platform)

set(rule_hostsdk "")
set(rule_platform hostsdk)
set(rule_generator/model ${below_model})
set(rule_generator/wavestore ${below_store})
set(rule_generator/settings ${below_store})
set(rule_generator/machine ${below_machine})
set(rule_generator/transfers ${below_transfers})
set(rule_generator/editor ${below_editor})
set(rule_generator/resources "")
# The plug-in's entry points, on top of every layer.
set(rule_generator generator/editor ${below_editor})
set(checked_folders hostsdk platform generator)
# An include naming one of these is one of ours and must obey the rules.
set(project_folders generator hostsdk platform input host tests benchmarks fuzz)

set(violations)
foreach(top IN LISTS checked_folders)
    file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${top}/*.h"
         "${SOURCE_DIR}/${top}/*.cpp")
    foreach(file IN LISTS files)
        get_filename_component(folder "${file}" DIRECTORY)
        set(layer "${folder}")
        if(NOT top STREQUAL "generator")
            set(layer "${top}")
        endif()
        if(NOT DEFINED rule_${layer})
            list(APPEND violations "  ${file}: its folder ${layer} is no layer")
            continue()
        endif()
        set(allowed ${layer} ${rule_${layer}})
        file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
            string(REGEX MATCH "^[^/]+" first "${header}")
            if(NOT first IN_LIST project_folders)
                continue()
            endif()
            set(ok FALSE)
            foreach(below IN LISTS allowed)
                string(LENGTH "${below}/" length)
                string(SUBSTRING "${header}" 0 ${length} start)
                if(header STREQUAL below OR start STREQUAL "${below}/")
                    set(ok TRUE)
                    break()
                endif()
            endforeach()
            if(NOT ok)
                list(APPEND violations "  ${file} (layer ${layer}) includes ${header}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n" text)
    message(FATAL_ERROR "Headers from a layer above (see cmake/CheckLayers.cmake):\n${text}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
