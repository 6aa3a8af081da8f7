#pragma once
// The ground of the script object tests: a document with three editable
// native themes (top to bottom "Points", "Roads" and "Parcels") and a
// handler whose global knows the document, with a full garbage collection
// after every step, so that an object the engine lets go of, or one that
// holds a stale address, shows.

#include "ScriptTestSupport.h"

#include "core/Theme.h"
#include "scripting/ScriptEngine.h"
#include "settings/AppSettings.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"

#include <memory>
#include <string>
#include <utility>

// Sets where new themes go for the life of the scope.
class LoadToBottomScope {
public:
    explicit LoadToBottomScope(int value) : m_Saved(CAppSettings::GetInstance()->m_LoadToBottom) {
        CAppSettings::GetInstance()->m_LoadToBottom = value;
    }
    ~LoadToBottomScope() { CAppSettings::GetInstance()->m_LoadToBottom = m_Saved; }
    LoadToBottomScope(const LoadToBottomScope&) = delete;
    LoadToBottomScope& operator=(const LoadToBottomScope&) = delete;

private:
    int m_Saved;
};

class ScriptDocumentTest : public ScriptEngineTest {
protected:
    // scriptName is the file name the steps run under.
    explicit ScriptDocumentTest(std::string scriptName) : m_ScriptName(std::move(scriptName)) {}

    // Makes the three themes, empty, and the handler; a fatal failure when
    // either cannot be made.
    void MakeDocumentAndHandler() {
        LoadToBottomScope bottom(1);
        points = document.NewTheme(nullptr, "Points", SHT_Point, false);
        roads = document.NewTheme(nullptr, "Roads", SHT_Polyline, false);
        parcels = document.NewTheme(nullptr, "Parcels", SHT_Polygon, false);
        ASSERT_TRUE(points && roads && parcels);
        record.workspace = GpiWorkspaceHandle(&document);
        handler = std::make_unique<CJSHandler>();
        handler->SetWorkspaceRecord(&record);
        ASSERT_TRUE(handler->Initialize());
    }

    // Runs one step in the handler's global (its variables stay for the next
    // step), then collects all garbage.
    bool Run(const std::string& script) {
        const bool ok = handler->Execute(script, m_ScriptName);
        output = ScriptOutput();
        ScriptEngine()->CollectGarbage();
        return ok;
    }

    CCorvaleDoc document;
    ScriptWorkspaceRecord record;
    std::unique_ptr<CJSHandler> handler;
    CTheme* points = nullptr;
    CTheme* roads = nullptr;
    CTheme* parcels = nullptr;
    std::string output;

private:
    std::string m_ScriptName;
};
