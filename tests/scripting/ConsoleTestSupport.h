#pragma once
// Helpers of the console tests: a command that records how it was called, a
// variable that counts its deletions, and a document holding a theme.

#include "core/Theme.h"
#include "scripting/ConsoleCmd.h"
#include "scripting/ConsoleCmdVariable.h"
#include "shapes/ShapeRecord.h"
#include "workspace/CorvaleDoc.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// A text with its control characters spelled out, for test names and messages.
inline std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

// A command that logs "NAME(args)" for every run and answers as told.
class CRecordingCmd : public CConsoleCmd {
public:
    CRecordingCmd(const std::string& name, std::vector<std::string>* log, bool succeed = true)
        : CConsoleCmd(name, 0), m_Log(log), m_Succeed(succeed) {}

    std::unique_ptr<CConsoleCmd> Clone() const override {
        return std::make_unique<CRecordingCmd>(*this);
    }
    bool Execute(const std::string& args, std::string& output,
                 std::unique_ptr<CConsoleCmdVariable>& result) override {
        m_Log->push_back(GetName() + "(" + args + ")");
        if (makeResult)
            result = makeResult();
        if (onExecute)
            onExecute(output);
        return m_Succeed;
    }

    // Called during Execute with the output text.
    std::function<void(std::string& output)> onExecute;
    // Makes the command's result object.
    std::function<std::unique_ptr<CConsoleCmdVariable>()> makeResult;

private:
    std::vector<std::string>* m_Log;
    bool m_Succeed;
};

// A plain variable that counts how many of its kind were deleted.
class CCountedVariable : public CConsoleCmdVariable {
public:
    explicit CCountedVariable(int* deletions, std::string text = "counted")
        : m_Deletions(deletions), m_Text(std::move(text)) {}
    ~CCountedVariable() override { ++*m_Deletions; }
    std::string Print() const override { return m_Text; }

private:
    int* m_Deletions;
    std::string m_Text;
};

// A document that owns one polyline theme named "Roads", shown, coloured red.
struct DocumentWithTheme {
    DocumentWithTheme() {
        theme = new CTheme;
        theme->m_ShapeType = SHT_Polyline;
        theme->m_Name = "Roads";
        theme->m_Color = 0x0000FF;
        theme->m_Visible = true;
        theme->UpdateDefaultStyle();
        document.m_themes.push_back(theme);
    }
    CCorvaleDoc document;
    CTheme* theme;
};

// Collects the update events of a document as "code:data".
struct EventLog {
    explicit EventLog(CCorvaleDoc& document) : m_Document(document) {
        document.m_updateEvent.AddHandler(this, &EventLog::OnUpdate);
    }
    ~EventLog() { m_Document.m_updateEvent.RemoveHandler(this); }
    void OnUpdate(const void*, int code, std::intptr_t data) {
        events.push_back(std::to_string(code) + ":" + std::to_string(data));
    }
    CCorvaleDoc& m_Document;
    std::vector<std::string> events;
};
