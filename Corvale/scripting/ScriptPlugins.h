#pragma once
// Calls into the script names of GPI plug-ins: the values go out in the
// plug-in interface's form and the answer comes back as plain values, with
// the plug-in's memory freed.

#include "scripting/ScriptObjectModel.h"
#include "scripting/ScriptPluginValue.h"

#include <cstdint>
#include <string>
#include <vector>

// The script's message for a result code of GpiInvokePluginScript; null for
// success and for any code that is not an error.
const char* GpiScriptErrorText(int code);

// Calls the name (null for none) of the plug-in with that GUID text for the
// document of the workspace handle. The plug-in's answer list and its texts
// are freed here, whatever the outcome.
ScriptReply CallScriptPlugin(const std::string& guidText, std::uint32_t workspace, const char* name,
                             const std::vector<ScriptPluginValue>& arguments, ScriptPluginAnswer& answer);
