// New themes made by hand: empty point, polyline and polygon themes to draw
// in, a theme of another theme's selected shapes, and a polygon theme of the
// boxes of a theme's shapes.

#include "workspace/CorvaleDoc.h"

#include "core/Theme.h"
#include "framework/UserInterface.h"
#include "geometry/ShapeOperations.h"
#include "workspace/CommandIds.h"

#include <algorithm>
#include <memory>

namespace {

bool IsVectorType(std::uint32_t type) {
    return CShapeRecord::IsPointType(type) || CShapeRecord::IsPolylineType(type) ||
           CShapeRecord::IsPolygonType(type);
}

// The field definitions of source, without values, default values or
// descriptions, appended to the native table of theme.
void CopyFieldDefinitions(CTheme& theme, CTheme& source) {
    if (theme.m_SourceType != ST_Native)
        return;
    const int fields = static_cast<int>(source.GetAttributeCount());
    for (int field = 0; field < fields; ++field) {
        theme.m_Modified = true;
        theme.AddAttribute(source.GetAttributeInfo(field), nullptr, nullptr);
    }
}

} // namespace

std::string CCorvaleDoc::UniqueThemeName(const std::string& base) const {
    std::string name = base;
    int number = 1;
    // A name given a number may itself be taken: start over until no theme
    // has the name.
    for (bool taken = true; taken;) {
        taken = std::any_of(m_themes.begin(), m_themes.end(),
                            [&name](const CTheme* theme) { return theme->m_Name == name; });
        if (taken)
            name = base + " (" + std::to_string(++number) + ")";
    }
    return name;
}

CTheme* CCorvaleDoc::NewTheme(CTheme* source, const std::string& name, std::uint32_t shapeType, bool ask) {
    std::unique_ptr<CTheme> theme(CreateTheme(name, shapeType));
    if (!theme->ConvertToNative(true, true))
        return nullptr;
    if (ask) {
        if (source == nullptr) {
            const bool anyVector = std::any_of(m_themes.begin(), m_themes.end(),
                                               [](const CTheme* t) { return IsVectorType(t->m_ShapeType); });
            const CDocumentDialogServices& dialogs = GetDocumentDialogServices();
            if (anyVector &&
                corvale::UI().ShowMessage("Would you like to copy an attribute set from an\nexisting theme?",
                                          corvale::MessageIcon::Question,
                                          corvale::MessageButtons::YesNo) == corvale::IDYES &&
                dialogs.chooseTheme)
                source = dialogs.chooseTheme(this, std::string(), 1u | 2u | 4u);
        }
        if (source != nullptr)
            CopyFieldDefinitions(*theme, *source);
    }
    CTheme* added = theme.release();
    AddTheme(added);
    FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(added));
    SetModifiedFlag(true);
    return added;
}

CTheme* CCorvaleDoc::NewThemeFromBoundingBoxes(CTheme* source) {
    if (source == nullptr)
        return nullptr;
    const std::vector<CShapeRecord*>* list = nullptr;
    if (!source->m_VisiblePoints.empty())
        list = &source->m_VisiblePoints;
    else if (!source->m_VisibleArcs.empty())
        list = &source->m_VisibleArcs;
    else if (!source->m_VisiblePolygons.empty())
        list = &source->m_VisiblePolygons;
    if (!IsVectorType(source->m_ShapeType))
        return nullptr;

    corvale::IUserInterface& ui = corvale::UI();
    ui.SetStatusText("Working...");
    ui.BeginWaitCursor();
    std::unique_ptr<CTheme> theme(CreateTheme("Bounds from: " + source->m_Name, SHT_Polygon));
    if (!theme->ConvertToNative(true, true)) {
        ui.EndWaitCursor();
        ui.SetStatusText("For Help, press F1");
        return nullptr;
    }
    CopyFieldDefinitions(*theme, *source);
    const int fields = static_cast<int>(source->GetAttributeCount());
    int skipped = 0;
    if (list != nullptr) {
        theme->ReserveShapes(static_cast<int>(list->size()));
        for (std::size_t position = 0; position < list->size(); ++position) {
            const CShapeRecord* record = (*list)[position];
            if (record == nullptr)
                continue;
            double xmin, ymin, xmax, ymax;
            if (CShapeRecord::IsPointType(CShapeRecord::GetShapeType(record))) {
                const CShapePoint p = CShapeRecord::GetPoint(record, 0);
                xmin = xmax = p.x;
                ymin = ymax = p.y;
            } else {
                xmin = CShapeRecord::GetMinX(record);
                ymin = CShapeRecord::GetMinY(record);
                xmax = CShapeRecord::GetMaxX(record);
                ymax = CShapeRecord::GetMaxY(record);
            }
            // A box that is a single point would give a ring of five equal
            // vertices, which no polygon operation can take.
            if (xmin == xmax && ymin == ymax) {
                ++skipped;
                continue;
            }
            CShapeRecordPtr box(
                CreatePolygonShape({{xmin, ymin}, {xmax, ymin}, {xmax, ymax}, {xmin, ymax}, {xmin, ymin}}));
            CShapeRecord* added = box ? theme->AddPolygon(box.get(), false, false, false) : nullptr;
            if (added == nullptr) {
                ++skipped;
                continue;
            }
            const int shapeIndex = GetShapeRecordIndex(added);
            for (int field = 0; field < fields; ++field)
                theme->SetAttributeText(shapeIndex, field,
                                        source->GetAttributeTextAt(static_cast<int>(position), field), true);
        }
    }
    theme->ResetFilter();
    theme->ResetShapePositions();
    theme->RecalculateBounds();
    theme->UpdateStyles();
    theme->BuildSpatialIndex();
    CTheme* result = theme.release();
    AddTheme(result);
    FireUpdateEvent(nullptr, DUE_ThemeAdded, reinterpret_cast<std::intptr_t>(result));
    ui.EndWaitCursor();
    ui.SetStatusText("For Help, press F1");
    if (skipped > 0)
        ui.ShowMessage(std::to_string(skipped) + (skipped == 1 ? " shape has" : " shapes have") +
                           " a bounding box of a single point and got no polygon.",
                       corvale::MessageIcon::Information, corvale::MessageButtons::Ok);
    return result;
}

// New Points, New Polylines and New Polygons: an empty theme of that kind,
// its fields chosen by the user.
void CCorvaleDoc::OnNewPointTheme() {
    NewTheme(nullptr, UniqueThemeName("* Unnamed"), SHT_Point, true);
}

void CCorvaleDoc::OnNewPolylineTheme() {
    NewTheme(nullptr, UniqueThemeName("* Unnamed"), SHT_Polyline, true);
}

void CCorvaleDoc::OnNewPolygonTheme() {
    NewTheme(nullptr, UniqueThemeName("* Unnamed"), SHT_Polygon, true);
}

void CCorvaleDoc::OnUpdateNewTheme(CCmdUI& ui) {
    ui.Enable(true);
}

void CCorvaleDoc::OnNewThemeFromSelection() {
    if (m_activeTheme != nullptr)
        NewThemeFromSelection(m_activeTheme, nullptr, false);
}

void CCorvaleDoc::OnUpdateNewThemeFromSelection(CCmdUI& ui) {
    ui.Enable(m_activeTheme != nullptr && !m_activeTheme->m_Selection.empty());
}

void CCorvaleDoc::OnNewThemeFromBoundingBoxes() {
    if (m_activeTheme != nullptr)
        NewThemeFromBoundingBoxes(m_activeTheme);
}

void CCorvaleDoc::OnUpdateNewThemeFromBoundingBoxes(CCmdUI& ui) {
    const CTheme* theme = m_activeTheme;
    ui.Enable(theme != nullptr &&
              (!theme->m_VisibleArcs.empty() || !theme->m_VisiblePolygons.empty()));
}

void CCorvaleDoc::AddNewThemeCommands() {
    OnCommand(ID_THEME_NEW_POINTS, &CCorvaleDoc::OnNewPointTheme, &CCorvaleDoc::OnUpdateNewTheme);
    OnCommand(ID_THEME_NEW_POLYLINES, &CCorvaleDoc::OnNewPolylineTheme,
              &CCorvaleDoc::OnUpdateNewTheme);
    OnCommand(ID_THEME_NEW_POLYGONS, &CCorvaleDoc::OnNewPolygonTheme,
              &CCorvaleDoc::OnUpdateNewTheme);
    OnCommand(ID_THEME_NEW_FROM_SELECTION, &CCorvaleDoc::OnNewThemeFromSelection,
              &CCorvaleDoc::OnUpdateNewThemeFromSelection);
    OnCommand(ID_THEME_NEW_BOUNDING_BOXES, &CCorvaleDoc::OnNewThemeFromBoundingBoxes,
              &CCorvaleDoc::OnUpdateNewThemeFromBoundingBoxes);
}
