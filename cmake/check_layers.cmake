cmake_minimum_required(VERSION 3.20)
# Folders depend only downward: ui/ at the bottom, then core/, imaging/ and app/; cli/ stands
# beside app/. Fails, naming each offending line, when a source includes a folder it may not.
# Run as: cmake -DROOT=<source folder> -P check_layers.cmake
set(allowed_ui ui)
set(allowed_core ui core)
set(allowed_imaging ui core imaging)
set(allowed_app ui core imaging app res)
set(allowed_cli ui core imaging cli)

set(faults "")
foreach(folder ui core imaging app cli)
    file(GLOB sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^#include \"[a-z_]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target "${line}")
            if(NOT target IN_LIST allowed_${folder})
                file(RELATIVE_PATH name ${ROOT} ${source})
                string(APPEND faults "  ${name}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "includes that run against the layering:\n${faults}")
endif()
