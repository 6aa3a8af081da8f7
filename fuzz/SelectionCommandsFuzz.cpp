// Runs the document's selection and new-theme commands over a theme made of
// arbitrary records.
//
// Input layout: three control bytes (part rule, comparison, vertex count of
// the point count selection), then records as a .shp file holds them (8-byte
// header and content). Records that CheckShapeRecordBytes refuses end the
// list, as every reader stops there; the others go into an editable theme of
// the first record's kind. Every command must run without reading outside a
// record, the boxes theme must hold only well-formed polygons of five
// vertices, never a box that is a single point, and removing every theme in
// one go must leave none behind (children go before their parents).

#include "core/Theme.h"
#include "geometry/DoubleRect.h"
#include "workspace/CommandIds.h"
#include "workspace/CorvaleDoc.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

std::uint32_t KindOf(std::uint32_t type) {
    if (CShapeRecord::IsPointType(type))
        return SHT_Point;
    if (CShapeRecord::IsPolylineType(type))
        return SHT_Polyline;
    if (CShapeRecord::IsPolygonType(type))
        return SHT_Polygon;
    return SHT_Null;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    (void)quiet;
    if (size < 3)
        return 0;
    const int partRule = data[0] % 2;
    const int comparison = data[1] % 3;
    const int count = data[2];

    CCorvaleDoc doc;
    CTheme* theme = nullptr;
    std::size_t offset = 3;
    while (offset < size) {
        std::size_t recordSize = 0;
        if (!CheckShapeRecordBytes(data + offset, size - offset, recordSize) || recordSize < 12)
            break;
        // A heap copy of exactly the record, so a read past it is caught.
        std::unique_ptr<unsigned char[]> copy(new unsigned char[recordSize]);
        std::memcpy(copy.get(), data + offset, recordSize);
        offset += recordSize;
        CShapeRecord* record = CShapeRecord::FromBytes(copy.get());
        const std::uint32_t kind = KindOf(CShapeRecord::GetShapeType(record));
        if (kind == SHT_Null)
            continue;
        if (theme == nullptr) {
            theme = doc.CreateTheme("fuzz", kind);
            doc.m_themes.push_back(theme);
            if (!theme->ConvertToNative(true, true))
                return 0;
            doc.SetThemeSelected(theme, true);
        }
        theme->AddShape(record, false, false, false);
    }
    if (theme == nullptr)
        return 0;
    theme->UpdateStyles();

    // Selections by id and directly, each on a fresh selection.
    for (unsigned id : {ID_SELECTION_SELECT_ALL, ID_SELECTION_INVERT, ID_SELECTION_MULTIPART, ID_SELECTION_CLEAR})
        doc.OnCmdMsg(id, nullptr);
    const int matched = doc.SelectByPointCount(partRule, comparison, count);
    Require(matched >= 0 && matched <= theme->GetShapeCount());
    Require(static_cast<int>(theme->m_Selection.size()) == matched);
    double box[4];
    Require(doc.GetSelectionBounds(box) == (matched > 0));
    theme->ClearSelection();
    if (theme->m_BoundsValid)
        doc.SelectByRectangle(CDoubleRect(theme->m_Bounds[0], theme->m_Bounds[1], theme->m_Bounds[2],
                                          theme->m_Bounds[3]));
    doc.OnCmdMsg(ID_EDIT_TOP_Z_ORDER, nullptr);

    doc.OnCmdMsg(ID_SELECTION_SELECT_ALL, nullptr);
    CTheme* child = doc.NewThemeFromSelection(theme, nullptr, true);
    CTheme* boxes = doc.NewThemeFromBoundingBoxes(theme);
    if (boxes != nullptr) {
        for (int p = 0; p < boxes->GetShapeCount(); ++p) {
            const CShapeRecord* record = boxes->GetShape(p);
            std::size_t checked = 0;
            const std::size_t recordSize = CShapeRecord::GetSize(record);
            Require(CheckShapeRecordBytes(CShapeRecord::Bytes(record), recordSize, checked));
            Require(CShapeRecord::GetPointCount(record) == 5);
            // NaN boxes compare unequal and are kept; a box of one point never is.
            Require(!(CShapeRecord::GetMinX(record) == CShapeRecord::GetMaxX(record) &&
                      CShapeRecord::GetMinY(record) == CShapeRecord::GetMaxY(record)));
        }
    }

    // Everything goes in one removal, the parent first in the list.
    doc.ClearThemeSelection();
    for (CTheme* t : std::vector<CTheme*>(doc.m_themes.rbegin(), doc.m_themes.rend())) {
        t->m_Modified = false;
        doc.SetThemeSelected(t, true);
    }
    doc.SetThemeSelected(theme, false);
    std::vector<CTheme*>& selected = doc.m_selectedThemes;
    selected.insert(selected.begin(), theme);
    (void)child;
    doc.RemoveSelectedThemes();
    Require(doc.m_themes.empty());
    return 0;
}
