# Fails when a source file under Corvale/ includes a header of a library that
# stands above its own. The order is the one docs/architecture.md lists: each
# line of its layer list that starts with "Corvale/<folder>/" names one
# library, from the bottom up. Every folder under Corvale/ must be listed.
#
#   cmake -DROOT=<checkout> -P cmake/CheckIncludeOrder.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
    message(FATAL_ERROR "CheckIncludeOrder: pass -DROOT=<top of the checkout>")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

file(STRINGS "${ROOT}/docs/architecture.md" layer_lines REGEX "^Corvale/[a-z]+/")
set(order "")
foreach(line IN LISTS layer_lines)
    string(REGEX MATCH "^Corvale/([a-z]+)/" _ "${line}")
    list(APPEND order "${CMAKE_MATCH_1}")
endforeach()
if(NOT order)
    message(FATAL_ERROR "CheckIncludeOrder: ${ROOT}/docs/architecture.md lists no Corvale/<folder>/ lines")
endif()

set(faults "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE "${ROOT}/Corvale" "${ROOT}/Corvale/*")
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY "${ROOT}/Corvale/${folder}" AND NOT folder IN_LIST order)
        string(APPEND faults "Corvale/${folder}/: folder missing from the library order in docs/architecture.md\n")
    endif()
endforeach()

file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/Corvale/*.h" "${ROOT}/Corvale/*.cpp" "${ROOT}/Corvale/*.inc")
list(SORT sources)
foreach(source IN LISTS sources)
    string(REGEX MATCH "^Corvale/([a-z]+)/" _ "${source}")
    list(FIND order "${CMAKE_MATCH_1}" own_rank)
    if(own_rank LESS 0)
        continue()
    endif()
    file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
    foreach(include IN LISTS includes)
        string(REGEX MATCH "\"(([a-z]+)/[^\"]*)\"" _ "${include}")
        set(header "${CMAKE_MATCH_1}")
        list(FIND order "${CMAKE_MATCH_2}" header_rank)
        if(header_rank GREATER own_rank)
            string(APPEND faults "${source}: includes \"${header}\", a header of a higher library\n")
        endif()
    endforeach()
endforeach()

if(faults)
    # A plain message keeps each fault on one line; FATAL_ERROR would wrap them.
    message("${faults}")
    message(FATAL_ERROR "Include order broken")
endif()
list(LENGTH sources count)
message(STATUS "Include order kept in ${count} files")
