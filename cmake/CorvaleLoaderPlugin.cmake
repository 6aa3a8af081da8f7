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
    corvale_add_plugin_module(${target} .ldr ${ARGN})
endfunction()
