# corvale_add_gpi_plugin(<target>
#     SOURCES <file>...
#     [LIBS <library>...]
#     [DEFINITIONS <definition>...]
#     [OUTPUT_NAME <name>]
#     [OUTPUT_DIRECTORY <folder>])
#
# Builds a GPI plug-in: a shared object loaded with dlopen, named
# <name>.gpi (no "lib" prefix) so that the host's scan of its plug-in folder
# finds it. It is compiled with the flags of the rest of the build, sanitizers
# included, so its exceptions, allocations and layouts match the host's.
#
# Only the entries marked GPI_EXPORT (fnInit, fnVersion, fnGUID,
# fnTerminate) are exported; everything else stays inside the plug-in, so two
# plug-ins never bind each other's symbols. A plug-in reaches the host only
# through the dispatch pointer it receives in GpiInitInfo, so it links nothing
# of the host: corvale_sdk (the headers) and what LIBS adds.
function(corvale_add_gpi_plugin target)
    corvale_add_plugin_module(${target} .gpi ${ARGN})
endfunction()

# The module every kind of plug-in is: <name><suffix>, hidden symbols, linked
# against the SDK headers only. Used by corvale_add_gpi_plugin and
# corvale_add_loader_plugin (cmake/CorvaleLoaderPlugin.cmake).
function(corvale_add_plugin_module target suffix)
    cmake_parse_arguments(ARG "" "OUTPUT_NAME;OUTPUT_DIRECTORY" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
    if(NOT ARG_SOURCES)
        message(FATAL_ERROR "${target}: SOURCES is required")
    endif()
    add_library(${target} MODULE ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        SUFFIX "${suffix}"
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
    # A symbol nobody provides is an error at build time, not a dlopen failure
    # on the user's machine. Clang links its sanitizer runtime into the
    # program only, which leaves a sanitized plug-in's runtime calls open.
    if(NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (CORVALE_SANITIZE OR CORVALE_FUZZ)))
        target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
endfunction()
