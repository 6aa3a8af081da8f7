#pragma once
// The workspace scripts of GPI plug-ins: a script file compiled once for a
// document (CCorvaleDoc::LoadJavaScript) and later run, or called into by
// function name, with its reports on the document's console.

#include <string>

class CCorvaleDoc;
class CJSHandler;

// CCorvaleDoc::LoadJavaScript: makes sure the console exists, compiles the
// file (a relative path not found as it stands is looked for in the Scripts
// folder beside the program) in a new handler whose global knows the
// document's workspace handle, and answers the handler; the caller owns it.
// Null when the file cannot be read, the engine is missing or the script
// does not compile. Under the scripts debug flag (8) the console is told what
// happens; a failure to compile or a missing engine shows the console.
CJSHandler* LoadDocumentJavaScript(CCorvaleDoc& document, const std::string& path);

// Installs the plug-in host's script services: running and calling compiled
// scripts, deleting them, and the owner document's console.
void InstallGpiScriptServices();
