# corvale_add_exporter_plugin(<target>
#     SOURCES <file>...
#     [LIBS <library>...]
#     [DEFINITIONS <definition>...]
#     [OUTPUT_NAME <name>]
#     [OUTPUT_DIRECTORY <folder>])
#
# Builds an exporter plug-in (sdk/Exporter.h): a shared object loaded with
# dlopen, named <name>.xpr (no "lib" prefix), which the Export command offers
# when it lies in the program's plug-in folder. Compiled with the flags of the
# rest of the build, like the other plug-ins (cmake/CorvaleGpiPlugin.cmake).
#
# Only the entries marked XPR_EXPORT are exported. An exporter reaches the
# host only through the callbacks it is handed, so it links nothing of the
# host: corvale_sdk (the headers) and what LIBS adds.
function(corvale_add_exporter_plugin target)
    corvale_add_plugin_module(${target} .xpr ${ARGN})
endfunction()
