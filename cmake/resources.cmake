# keeprun_resources(<target> ITEMS "<id>|<name>|<file>" ...): a library whose only
# content is the listed files as compiled-in byte arrays (the "CUSTOM" resources).
function(keeprun_resources target)
    cmake_parse_arguments(ARG "" "" "ITEMS" ${ARGN})
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_data.cpp")
    set(deps "")
    foreach(item IN LISTS ARG_ITEMS)
        string(REPLACE "|" ";" parts "${item}")
        list(GET parts 2 path)
        list(APPEND deps "${path}")
    endforeach()
    set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_items.txt")
    file(WRITE "${list_file}" "${ARG_ITEMS}")
    add_custom_command(OUTPUT "${out}"
        COMMAND ${CMAKE_COMMAND} "-DOUT=${out}" "-DLIST_FILE=${list_file}" -P "${PROJECT_SOURCE_DIR}/cmake/embed.cmake"
        DEPENDS ${deps} "${list_file}" "${PROJECT_SOURCE_DIR}/cmake/embed.cmake"
        VERBATIM)
    add_library(${target} STATIC "${out}")
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")
endfunction()
