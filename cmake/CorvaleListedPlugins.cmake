# corvale_add_drawing_plugin(<target> SOURCES <file>... [LIBS ...]
#     [DEFINITIONS ...] [OUTPUT_NAME <name>] [OUTPUT_DIRECTORY <folder>])
# corvale_add_statistics_plugin(<target> ...the same...)
#
# Build a drawing plug-in (sdk/Drawing.h, <name>.ise) or a statistics
# plug-in (sdk/Statistics.h, <name>.stc): shared objects loaded with dlopen,
# which the options list when they lie in the program's plug-in folder. They
# are built like the other plug-ins (cmake/CorvaleGpiPlugin.cmake): only the
# entries marked ISE_EXPORT or STC_EXPORT are exported, and they link nothing
# of the host.
function(corvale_add_drawing_plugin target)
    corvale_add_plugin_module(${target} .ise ${ARGN})
endfunction()

function(corvale_add_statistics_plugin target)
    corvale_add_plugin_module(${target} .stc ${ARGN})
endfunction()
