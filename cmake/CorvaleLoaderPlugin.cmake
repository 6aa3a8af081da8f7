# corvale_add_loader_plugin(<target>
#     SOURCES <file>...
#     [LIBS <library>...]
#     [DEFINITIONS <definition>...]
#     [OUTPUT_NAME <name>]
#     [OUTPUT_DIRECTORY <folder>])
#
# Builds a loader plug-in (sdk/Loader.h): a shared object loaded with dlopen,
# named <name>.ldr (no "lib" prefix), which the Add Theme From menu lists when
# it lies in the program's plug-in folder. It is compiled with the flags of
# the rest of the build, sanitizers included, like the GPI plug-ins
# (cmake/CorvaleGpiPlugin.cmake).
#
# Only the entries marked LDR_EXPORT are exported. A loader reaches the host
# only through the callbacks it is handed, so it links nothing of the host:
# corvale_sdk (the headers) and what LIBS adds.
function(corvale_add_loader_plugin target)
    cmake_parse_arguments(ARG "" "OUTPUT_NAME;OUTPUT_DIRECTORY" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
    if(NOT ARG_SOURCES)
        message(FATAL_ERROR "corvale_add_loader_plugin(${target}): SOURCES is required")
    endif()
    add_library(${target} MODULE ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        SUFFIX ".ldr"
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    if(ARG_OUTPUT_NAME)
        set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
    endif()
    if(ARG_OUTPUT_DIRECTORY)
        set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
    endif()
    target_link_libraries(${target} PRIVATE corvale_sdk ${ARG_LIBS})
    if(ARG_DEFINITIONS)
        target_compile_definitions(${target} PRIVATE ${ARG_DEFINITIONS})
    endif()
    if(NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (CORVALE_SANITIZE OR CORVALE_FUZZ)))
        target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
endfunction()
