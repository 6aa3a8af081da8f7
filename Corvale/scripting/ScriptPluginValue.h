#pragma once
// A value crossing between a script and a GPI plug-in's script names, in the
// form both sides of the engine seam can hold: plain C++, no plug-in memory.
// Handles (a workspace, theme or shape) stay integers; the engine side turns
// a theme or shape handle into its script object.

#include <cstdint>
#include <string>
#include <vector>

struct ScriptPluginValue {
    // The same order as the plug-in interface's value types.
    enum Kind { Handle = 0, Int = 1, String = 2, Double = 3, Bool = 4, Color = 5 };
    Kind kind = Int;
    // Handle and Color.
    std::uint32_t word = 0;
    std::int32_t integer = 0;
    double number = 0.0;
    bool boolean = false;
    std::string text;
};

// What a plug-in answered: one value (single) or a list of them.
struct ScriptPluginAnswer {
    bool single = false;
    std::vector<ScriptPluginValue> values;
};
