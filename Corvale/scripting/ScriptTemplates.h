#pragma once
// Script templates: XML files in Templates/JavaScript beside the program from
// which a new script is put together. A template lists conditions (features
// the user ticks) and JavaScript fragments; a fragment without a condition is
// always taken, one with a condition when the condition's ticked state equals
// the fragment's value.
//
//   <scriptTemplate>
//     <conditionDefs>
//       <conditionDef name="loop" defaultValue="true">Loop over the layers</conditionDef>
//     </conditionDefs>
//     <jsFragment>var ws = Workspace;</jsFragment>
//     <jsFragment condition="loop" value="true">for (...) { ... }</jsFragment>
//   </scriptTemplate>
//
// Element and attribute names are compared exactly; other elements are
// ignored.

#include <string>
#include <vector>

struct ScriptConditionDef {
    std::string m_Name;
    // "true" ticks the condition at start.
    std::string m_DefaultValue;
    // What the user is shown.
    std::string m_Label;
};

struct ScriptFragment {
    // Empty: always taken.
    std::string m_Condition;
    // "true" or "false".
    std::string m_Value;
    std::string m_Text;
};

// A condition as the user left it: its name, "true" or "false", its label.
struct ScriptCondition {
    std::string m_Name;
    std::string m_State;
    std::string m_Label;
};

struct ScriptTemplate {
    std::vector<ScriptConditionDef> m_Conditions;
    std::vector<ScriptFragment> m_Fragments;
};

// Reads a template from XML text. False, with the parser's reason in error
// and the template empty, when the text is not well-formed XML.
bool ParseScriptTemplate(const std::string& xml, ScriptTemplate& result, std::string& error);
// Reads a template file; false with a reason when it cannot be read or parsed.
bool LoadScriptTemplate(const std::string& path, ScriptTemplate& result, std::string& error);
// The names of the "*.xml" files directly in the folder, without ".xml",
// sorted; empty for a missing folder.
std::vector<std::string> ListScriptTemplates(const std::string& folder);
// The fragments taken, in file order, each followed by a line feed. A
// fragment whose condition is none of the chosen ones is left out.
std::string AssembleScript(const ScriptTemplate& scriptTemplate, const std::vector<ScriptCondition>& chosen);
// The chosen conditions as the defaults leave them.
std::vector<ScriptCondition> DefaultConditions(const ScriptTemplate& scriptTemplate);
// The folder of the bundled templates: Templates/JavaScript beside the program.
std::string ScriptTemplateFolder();
