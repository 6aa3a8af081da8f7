#pragma once
// A workspace with themes of each kind for the tests of the workspace and
// theme operations, with the update events it fires and the console lines it
// prints recorded.

#include "GpiTestSupport.h"

#include "core/Theme.h"
#include "framework/Messages.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/ViewMessages.h"

#include <memory>
#include <string>
#include <vector>

// A document whose console lines land in a list.
class CRecordingDoc : public CCorvaleDoc {
public:
    void PrintConsoleLine(const std::string& text) override { m_Lines.push_back(text); }
    std::vector<std::string> m_Lines;
};

// Records the codes of the update events a document fires.
struct CUpdateRecorder {
    void OnUpdate(const void*, int code, std::intptr_t data) {
        m_Codes.push_back(code);
        m_Data.push_back(data);
    }
    std::vector<int> m_Codes;
    std::vector<std::intptr_t> m_Data;
};

// Stands for a map view: answers the units per pixel it is told.
class CFakeMapWindow : public CMessageWindow {
public:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (message == WM_GET_UNITS_PER_PIXEL) {
            *reinterpret_cast<double*>(lParam) = m_UnitsPerPixel;
            return 1;
        }
        return CMessageWindow::OnMessage(message, wParam, lParam);
    }
    double m_UnitsPerPixel = 1.0;
};

class GpiOpsTest : public GpiHostTest {
protected:
    void SetUp() override {
        GpiHostTest::SetUp();
        m_Doc = std::make_unique<CRecordingDoc>();
        m_Doc->m_updateEvent.AddHandler(&m_Events, &CUpdateRecorder::OnUpdate);
        m_Points = AddNative("Points", SHT_Point);
        m_Polygons = AddNative("Polygons", SHT_Polygon);
        m_Workspace = GpiWorkspaceHandle(m_Doc.get());
        m_PointsHandle = GpiThemeHandle(m_Points);
        m_PolygonsHandle = GpiThemeHandle(m_Polygons);
    }
    void TearDown() override {
        CloseRecordsets();
        m_Doc.reset();
        GpiHostTest::TearDown();
    }

    // An empty editable theme of its own at the end of the theme list.
    CTheme* AddNative(const std::string& name, std::uint32_t type) {
        CTheme* theme = m_Doc->CreateTheme(name, type);
        EXPECT_TRUE(theme->ConvertToNative(true, true));
        m_Doc->m_themes.push_back(theme);
        return theme;
    }

    // A read-only theme of the fixture shape file of three points, with the
    // columns of a fixture dBase table.
    CTheme* AddShapeFileTheme() {
        CTheme* theme = m_Doc->CreateTheme("File", SHT_Point);
        EXPECT_TRUE(theme->OpenShapeFile(std::string(CORVALE_TEST_DATA) + "/shapes/points.shp"));
        EXPECT_TRUE(theme->OpenDbfFile(std::string(CORVALE_TEST_DATA) + "/dbf/gdal.dbf"));
        EXPECT_GT(theme->GetAttributeCount(), 0u);
        m_Doc->m_themes.push_back(theme);
        return theme;
    }

    // Recordsets are the plug-in's to close; the tests close what they made.
    static void CloseRecordsets() {
        for (const auto& entry : GpiState().m_Recordsets.Entries())
            delete entry.second;
        GpiState().m_Recordsets.Clear();
    }

    std::unique_ptr<CRecordingDoc> m_Doc;
    CUpdateRecorder m_Events;
    CTheme* m_Points = nullptr;
    CTheme* m_Polygons = nullptr;
    std::uint32_t m_Workspace = 0;
    std::uint32_t m_PointsHandle = 0;
    std::uint32_t m_PolygonsHandle = 0;
};

// An out word's value before the call: any write shows.
constexpr std::uint32_t kUntouched = 0xEEEEEEEEu;
