// Every workspace and theme operation checks its arguments in one order: a
// null block, then a null required pointer (Illegal parameter), then each
// handle in block order, looked up in its own table only (Invalid handle),
// then the values. A failing call writes no out word and changes nothing.

#include "GpiOpsFixture.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The out words and buffers a call may write, filled with a pattern.
struct Outs {
    std::uint32_t word = kUntouched;
    double d[4] = {-7.5, -7.5, -7.5, -7.5};
    char text[16];
    std::uint32_t size = 16;
    unsigned char font[60];
    Outs() {
        std::memset(text, 0x5A, sizeof text);
        std::memset(font, 0x5A, sizeof font);
    }
    bool Untouched() const {
        const Outs fresh;
        return word == kUntouched && std::memcmp(d, fresh.d, sizeof d) == 0 &&
               std::memcmp(text, fresh.text, sizeof text) == 0 && size == 16 &&
               std::memcmp(font, fresh.font, sizeof font) == 0;
    }
};

// The handles of a block in block order.
using Handles = std::vector<std::uint32_t>;
using Call = std::function<int(const Handles& h, bool nullRequired, bool badValue, Outs& o)>;

struct Row {
    int op;
    // GPIHANDLE_* of each handle field, in block order.
    std::vector<int> kinds;
    // The block holds a pointer that must not be null (an out word, a text).
    bool requiredPointer;
    // What a valid call with the bad value answers; 0: no value is checked.
    int badValueCode;
    Call call;
    // What a null block answers (a handle passed as the block itself reads 0).
    int nullBlockCode = GPIERR_IllegalParameter;
    // What a first handle of 0 answers.
    int zeroHandleCode = GPIERR_InvalidHandle;
};

void* AsBlock(std::uint32_t handle) { return reinterpret_cast<void*>(std::uintptr_t{handle}); }

std::uint32_t* Out(bool nullRequired, Outs& o) { return nullRequired ? nullptr : &o.word; }
const char* Text(bool nullRequired) { return nullRequired ? nullptr : "Text"; }

// A theme handle and an out word, for the many operations of that shape.
Call HandleOut(int op) {
    return [op](const Handles& h, bool nullRequired, bool, Outs& o) {
        GpiHandleOutArgs a = {h[0], Out(nullRequired, o)};
        return GpiHostDispatch(op, &a);
    };
}
Call HandleValue(int op) {
    return [op](const Handles& h, bool, bool, Outs&) {
        GpiHandleValueArgs a = {h[0], 0x123456};
        return GpiHostDispatch(op, &a);
    };
}
Call HandleText(int op) {
    return [op](const Handles& h, bool nullRequired, bool, Outs&) {
        GpiHandleTextArgs a = {h[0], Text(nullRequired)};
        return GpiHostDispatch(op, &a);
    };
}
Call HandleString(int op) {
    return [op](const Handles& h, bool nullRequired, bool, Outs& o) {
        GpiHandleStringArgs a = {h[0], o.text, nullRequired ? nullptr : &o.size};
        return GpiHostDispatch(op, &a);
    };
}
Call HandleBounds(int op) {
    return [op](const Handles& h, bool, bool, Outs& o) {
        GpiHandleBoundsArgs a = {h[0], &o.d[0], &o.d[1], &o.d[2], &o.d[3]};
        return GpiHostDispatch(op, &a);
    };
}
Call HandleItself(int op) {
    return [op](const Handles& h, bool, bool, Outs&) { return GpiHostDispatch(op, AsBlock(h[0])); };
}

constexpr int W = GPIHANDLE_Workspace;
constexpr int T = GPIHANDLE_Theme;
constexpr int P = GPIHANDLE_Plugin;
constexpr int S = GPIHANDLE_Shape;
constexpr int R = GPIHANDLE_Recordset;
constexpr int kIllegal = GPIERR_IllegalParameter;
constexpr int kInvalid = GPIERR_InvalidHandle;

std::vector<Row> Rows() {
    std::vector<Row> rows = {
        {GPIOP_WorkspaceGetMap, {W}, true, 0, HandleOut(GPIOP_WorkspaceGetMap)},
        {GPIOP_WorkspaceGetThemeCount, {W}, true, 0, HandleOut(GPIOP_WorkspaceGetThemeCount)},
        {GPIOP_WorkspaceGetTheme, {W}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiWorkspaceGetThemeArgs a = {h[0], bad ? 99u : 0u, Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_WorkspaceGetTheme, &a);
         }},
        {GPIOP_WorkspaceAddTheme, {W}, false, GPIERR_UnsupportedShapeType,
         [](const Handles& h, bool, bool, Outs& o) {
             // Only failing calls are made here: the type is always refused.
             GpiWorkspaceAddThemeArgs a = {h[0], 2, "New", &o.word};
             return GpiHostDispatch(GPIOP_WorkspaceAddTheme, &a);
         }},
        {GPIOP_WorkspaceGetExtent, {W}, false, 0, HandleBounds(GPIOP_WorkspaceGetExtent)},
        {GPIOP_WorkspacePrintConsole, {W}, true, 0, HandleText(GPIOP_WorkspacePrintConsole)},
        {GPIOP_WorkspaceIsActive, {W}, true, 0, HandleOut(GPIOP_WorkspaceIsActive)},
        {GPIOP_WorkspaceSelectTheme, {W}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiWorkspaceSelectThemeArgs a = {h[0], "Pick", Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_WorkspaceSelectTheme, &a);
         }},
        {GPIOP_WorkspaceNotifyChanged, {W}, false, 0, HandleItself(GPIOP_WorkspaceNotifyChanged), kInvalid},
        {GPIOP_WorkspaceGetSelectedThemes, {W}, true, 0, HandleOut(GPIOP_WorkspaceGetSelectedThemes)},
        {GPIOP_WorkspaceGetActiveTheme, {W}, true, 0, HandleOut(GPIOP_WorkspaceGetActiveTheme)},
        {GPIOP_WorkspaceGetDescription, {W}, true, 0, HandleString(GPIOP_WorkspaceGetDescription)},
        {GPIOP_WorkspaceSetDescription, {W}, true, 0, HandleText(GPIOP_WorkspaceSetDescription)},
        {GPIOP_WorkspaceRemoveTheme, {W, T}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiWorkspaceRemoveThemeArgs a = {h[0], h[1], Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_WorkspaceRemoveTheme, &a);
         }},
        {GPIOP_WorkspaceSetPluginData, {P, W}, false, kIllegal,
         [](const Handles& h, bool, bool bad, Outs&) {
             static const char data[] = "abc";
             GpiWorkspaceSetPluginDataArgs a = {h[0], h[1], 3, bad ? nullptr : data};
             return GpiHostDispatch(GPIOP_WorkspaceSetPluginData, &a);
         }},
        {GPIOP_WorkspaceClearThemeSelection, {W}, false, 0, HandleItself(GPIOP_WorkspaceClearThemeSelection),
         kInvalid},
        {GPIOP_WorkspaceGetSelectedThemeCount, {W}, true, 0, HandleOut(GPIOP_WorkspaceGetSelectedThemeCount)},
        {GPIOP_WorkspaceNewThemeFromSelection, {W, T}, false, 0,
         [](const Handles& h, bool, bool, Outs& o) {
             GpiWorkspaceNewThemeFromSelectionArgs a = {h[0], h[1], nullptr, &o.word};
             return GpiHostDispatch(GPIOP_WorkspaceNewThemeFromSelection, &a);
         }},

        {GPIOP_ThemeIsSelected, {T}, true, 0, HandleOut(GPIOP_ThemeIsSelected)},
        {GPIOP_ThemeIsReadOnly, {T}, true, 0, HandleOut(GPIOP_ThemeIsReadOnly)},
        {GPIOP_ThemeGetName, {T}, true, 0, HandleString(GPIOP_ThemeGetName)},
        {GPIOP_ThemeSetName, {T}, true, 0, HandleText(GPIOP_ThemeSetName)},
        {GPIOP_ThemeGetFieldCount, {T}, true, 0, HandleOut(GPIOP_ThemeGetFieldCount)},
        {GPIOP_ThemeGetShapeType, {T}, true, 0, HandleOut(GPIOP_ThemeGetShapeType)},
        {GPIOP_ThemeGetBounds, {T}, false, 0, HandleBounds(GPIOP_ThemeGetBounds)},
        {GPIOP_ThemeRecalcBounds, {T}, false, 0, HandleItself(GPIOP_ThemeRecalcBounds), kIllegal, kIllegal},
        {GPIOP_ThemeGetLabelFont, {T}, false, 0,
         [](const Handles& h, bool, bool, Outs& o) {
             GpiThemeGetLabelFontArgs a = {h[0], o.font, &o.word};
             return GpiHostDispatch(GPIOP_ThemeGetLabelFont, &a);
         }},
        {GPIOP_ThemeGetFieldName, {T}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeGetFieldNameArgs a = {h[0], bad ? 99u : 0u, o.text, nullRequired ? nullptr : &o.size};
             return GpiHostDispatch(GPIOP_ThemeGetFieldName, &a);
         }},
        {GPIOP_ThemeGetWorkspace, {T}, true, 0, HandleOut(GPIOP_ThemeGetWorkspace)},
        {GPIOP_ThemeIsVisible, {T}, true, 0, HandleOut(GPIOP_ThemeIsVisible)},
        {GPIOP_ThemeAddField, {T}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiThemeAddFieldArgs a = {h[0], GPIFT_Int, Text(nullRequired), nullptr, &o.word};
             return GpiHostDispatch(GPIOP_ThemeAddField, &a);
         }},
        {GPIOP_ThemeDeleteField, {T}, false, GPIERR_PermissionDenied,
         [](const Handles& h, bool, bool, Outs&) {
             // No theme of the fixture has a field 99.
             GpiThemeDeleteFieldArgs a = {h[0], 99};
             return GpiHostDispatch(GPIOP_ThemeDeleteField, &a);
         }},
        {GPIOP_ThemeGetComment, {T}, true, 0, HandleString(GPIOP_ThemeGetComment)},
        {GPIOP_ThemeSetComment, {T}, true, 0, HandleText(GPIOP_ThemeSetComment)},
        {GPIOP_ThemeGetColor, {T}, true, 0, HandleOut(GPIOP_ThemeGetColor), kIllegal, kIllegal},
        {GPIOP_ThemeSetColor, {T}, false, 0, HandleValue(GPIOP_ThemeSetColor), kIllegal, kIllegal},
        {GPIOP_ThemeGetBaseColor, {T}, true, 0, HandleOut(GPIOP_ThemeGetBaseColor), kIllegal, kIllegal},
        {GPIOP_ThemeSetBaseColor, {T}, false, 0, HandleValue(GPIOP_ThemeSetBaseColor), kIllegal, kIllegal},
        {GPIOP_ThemeGetLineWidth, {T}, true, 0, HandleOut(GPIOP_ThemeGetLineWidth), kIllegal, kIllegal},
        {GPIOP_ThemeSetLineWidth, {T}, false, 0, HandleValue(GPIOP_ThemeSetLineWidth), kIllegal, kIllegal},
        {GPIOP_ThemeSetRasterImage, {T}, false, GPIERR_UnexpectedShapeType,
         [](const Handles& h, bool, bool, Outs&) {
             // The fixture's themes are no image themes.
             const std::uint32_t pixel = 0xFF00FF00u;
             const GpiBitmap bitmap = {1, 1, 4, &pixel};
             GpiThemeSetRasterImageArgs a = {h[0], &bitmap, 0.0, 0.0, 1.0, 1.0, "picture"};
             return GpiHostDispatch(GPIOP_ThemeSetRasterImage, &a);
         },
         kIllegal, kIllegal},
        {GPIOP_ThemeSetPluginData, {P, T}, false, kIllegal,
         [](const Handles& h, bool, bool bad, Outs&) {
             static const char data[] = "abc";
             GpiThemeSetPluginDataArgs a = {h[0], h[1], 3, bad ? nullptr : data};
             return GpiHostDispatch(GPIOP_ThemeSetPluginData, &a);
         }},
        {GPIOP_ThemeSetSelected, {T}, false, 0, HandleValue(GPIOP_ThemeSetSelected)},
        {GPIOP_ThemeGetFieldType, {T}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeGetFieldTypeArgs a = {h[0], bad ? 99u : 0u, Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeGetFieldType, &a);
         }},
        {GPIOP_ThemeFindField, {T}, true, GPIERR_False,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeFindFieldArgs a = {h[0], nullRequired ? nullptr : (bad ? "NONE" : "ID"), &o.word};
             return GpiHostDispatch(GPIOP_ThemeFindField, &a);
         }},
        {GPIOP_ThemeGetPenStyle, {T}, true, 0, HandleOut(GPIOP_ThemeGetPenStyle), kIllegal, kIllegal},
        {GPIOP_ThemeSetPenStyle, {T}, false, 0, HandleValue(GPIOP_ThemeSetPenStyle), kIllegal, kIllegal},
        {GPIOP_ThemeSetFieldText, {T}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs&) {
             GpiThemeSetFieldTextArgs a = {h[0], bad ? 99u : 0u, Text(nullRequired)};
             return GpiHostDispatch(GPIOP_ThemeSetFieldText, &a);
         }},

        // Shapes and the selection. The record reads that name no theme
        // check the shape before a null out pointer, so their null-pointer
        // case is tested with the shape operations.
        {GPIOP_ThemeGetShapeCount, {T}, true, 0, HandleOut(GPIOP_ThemeGetShapeCount)},
        {GPIOP_ThemeGetShape, {T}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeGetShapeArgs a = {h[0], bad ? 99u : 0u, Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeGetShape, &a);
         }},
        {GPIOP_ThemeGetSelectionCount, {T}, true, 0, HandleOut(GPIOP_ThemeGetSelectionCount)},
        {GPIOP_ThemeGetSelection, {T}, true, 0, HandleOut(GPIOP_ThemeGetSelection)},
        {GPIOP_ShapeGetType, {S}, true, 0, HandleOut(GPIOP_ShapeGetType)},
        {GPIOP_ShapeGetBounds, {S}, false, 0, HandleBounds(GPIOP_ShapeGetBounds)},
        {GPIOP_ShapeGetRecord, {S}, false, 0,
         [](const Handles& h, bool, bool, Outs& o) {
             GpiShapeGetRecordArgs a = {h[0], nullptr, &o.size};
             return GpiHostDispatch(GPIOP_ShapeGetRecord, &a);
         }},
        {GPIOP_ShapeGetPartCount, {S}, false, 0, HandleOut(GPIOP_ShapeGetPartCount)},
        {GPIOP_ShapeGetPartPointCount, {S}, false, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool, bool bad, Outs& o) {
             GpiShapeGetPartPointCountArgs a = {h[0], bad ? 99u : 0u, &o.word};
             return GpiHostDispatch(GPIOP_ShapeGetPartPointCount, &a);
         }},
        {GPIOP_ShapeGetPoint, {S}, false, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool, bool bad, Outs& o) {
             GpiShapeGetPointArgs a = {h[0], 0, bad ? 99u : 0u, &o.d[0], &o.d[1], &o.d[2]};
             return GpiHostDispatch(GPIOP_ShapeGetPoint, &a);
         }},

        {GPIOP_ShapeGetNearestPoint, {S}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiShapeGetNearestPointArgs a = {h[0], 0, 5.0, 5.0, nullRequired ? nullptr : &o.d[0], &o.d[1]};
             return GpiHostDispatch(GPIOP_ShapeGetNearestPoint, &a);
         }},
        {GPIOP_ThemeFindShape, {T}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeFindShapeArgs a = {h[0], bad ? 99u : 0u, Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeFindShape, &a);
         }},
        {GPIOP_ShapeGetInfoTipText, {T, S}, false, 0,
         [](const Handles& h, bool, bool, Outs& o) {
             GpiShapeGetInfoTipTextArgs a = {h[0], h[1], o.text, &o.size};
             return GpiHostDispatch(GPIOP_ShapeGetInfoTipText, &a);
         }},
        {GPIOP_ShapeIsSelected, {S, T}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiShapeIsSelectedArgs a = {h[0], h[1], Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ShapeIsSelected, &a);
         }},
        {GPIOP_ShapeSelect, {S, T}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             GpiShapeSelectArgs a = {h[0], h[1], 1};
             return GpiHostDispatch(GPIOP_ShapeSelect, &a);
         }},
        {GPIOP_ShapeGetAttribute, {S, T}, false, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool, bool bad, Outs& o) {
             GpiShapeGetAttributeArgs a = {h[0], h[1], bad ? 99u : 0u, o.text, &o.size};
             return GpiHostDispatch(GPIOP_ShapeGetAttribute, &a);
         }},
        {GPIOP_ThemeClearSelection, {T}, false, 0, HandleItself(GPIOP_ThemeClearSelection), kInvalid},
        {GPIOP_ThemeInvertSelection, {T}, false, 0, HandleItself(GPIOP_ThemeInvertSelection), kInvalid},

        // Recordsets and the queries that make them.
        {GPIOP_ThemeQuery, {T}, true, GPIERR_InvalidQuery,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeQueryArgs a = {h[0], bad ? "NOSUCH = 1" : "ID = 1", Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeQuery, &a);
         }},
        {GPIOP_ThemeQueryIntersecting, {T, S}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiThemeQueryIntersectingArgs a = {h[0], h[1], Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeQueryIntersecting, &a);
         }},
        {GPIOP_ThemeQueryRectangle, {T}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiThemeQueryRectangleArgs a = {h[0], 0, 0.0, 0.0, 10.0, 10.0, 1, Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeQueryRectangle, &a);
         }},
        {GPIOP_ThemeQuerySelectedRectangle, {T}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiThemeQuerySelectedRectangleArgs a = {h[0], 0, 0.0, 0.0, 10.0, 10.0, 1, Out(nullRequired, o)};
             return GpiHostDispatch(GPIOP_ThemeQuerySelectedRectangle, &a);
         }},
        {GPIOP_RecordsetMoveNext, {R}, false, 0, HandleItself(GPIOP_RecordsetMoveNext), kInvalid},
        {GPIOP_RecordsetMovePrevious, {R}, false, 0, HandleItself(GPIOP_RecordsetMovePrevious), kInvalid},
        {GPIOP_RecordsetMoveFirst, {R}, false, 0, HandleItself(GPIOP_RecordsetMoveFirst), kInvalid},
        {GPIOP_RecordsetMoveLast, {R}, false, 0, HandleItself(GPIOP_RecordsetMoveLast), kInvalid},
        {GPIOP_RecordsetGetValue, {R}, true, 0, HandleOut(GPIOP_RecordsetGetValue)},
        {GPIOP_RecordsetIsEOF, {R}, true, 0, HandleOut(GPIOP_RecordsetIsEOF)},
        {GPIOP_RecordsetIsBOF, {R}, true, 0, HandleOut(GPIOP_RecordsetIsBOF)},
        {GPIOP_RecordsetClose, {R}, false, 0, HandleItself(GPIOP_RecordsetClose), kInvalid},
        {GPIOP_RecordsetGetCount, {R}, true, 0, HandleOut(GPIOP_RecordsetGetCount)},

        // Adding shapes and batches. Only failing calls are made, so nothing
        // is added.
        {GPIOP_ThemeAddShape, {T}, false, 0,
         [](const Handles& h, bool, bool, Outs& o) {
             static const unsigned char point[28] = {0, 0, 0, 1, 0, 0, 0, 10, 1};
             GpiThemeAddShapeArgs a = {h[0], point, &o.word};
             return GpiHostDispatch(GPIOP_ThemeAddShape, &a);
         }},
        {GPIOP_ThemeAddPoint, {T}, false, 0,
         [](const Handles& h, bool, bool, Outs& o) {
             GpiThemeAddPointArgs a = {h[0], 0, 1.0, 2.0, &o.word};
             return GpiHostDispatch(GPIOP_ThemeAddPoint, &a);
         }},
        {GPIOP_ThemeAddShapeWkt, {T}, true, GPIERR_UnexpectedShapeType,
         [](const Handles& h, bool nullRequired, bool bad, Outs& o) {
             GpiThemeAddShapeWktArgs a = {h[0], nullRequired ? nullptr : (bad ? "LINESTRING (0 0, 1 1)" : "POINT (1 2)"),
                                          &o.word};
             return GpiHostDispatch(GPIOP_ThemeAddShapeWkt, &a);
         }},
        {GPIOP_ThemeUpdateBatch, {P, T}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             GpiThemeUpdateBatchArgs a = {h[0], h[1], 0};
             return GpiHostDispatch(GPIOP_ThemeUpdateBatch, &a);
         }},
        {GPIOP_ThemeUpdateBatchReserve, {P, T}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             GpiThemeUpdateBatchReserveArgs a = {h[0], h[1], 0, 10};
             return GpiHostDispatch(GPIOP_ThemeUpdateBatchReserve, &a);
         }},

        {GPIOP_ThemeUpdateShape, {T, S}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             static const unsigned char point[28] = {0, 0, 0, 1, 0, 0, 0, 10, 1};
             GpiThemeUpdateShapeArgs a = {h[0], h[1], point};
             return GpiHostDispatch(GPIOP_ThemeUpdateShape, &a);
         }},
        {GPIOP_ThemeDeleteShape, {T, S}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             GpiThemeDeleteShapeArgs a = {h[0], h[1]};
             return GpiHostDispatch(GPIOP_ThemeDeleteShape, &a);
         }},
        {GPIOP_ShapeSetAttribute, {S, T}, false, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool, bool bad, Outs&) {
             GpiShapeSetAttributeArgs a = {h[0], h[1], bad ? 99u : 0u, "7"};
             return GpiHostDispatch(GPIOP_ShapeSetAttribute, &a);
         }},
        {GPIOP_ShapeSetAttributes, {S, T}, true, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool nullRequired, bool bad, Outs&) {
             static const char* const values[] = {"7"};
             GpiShapeSetAttributesArgs a = {h[0], h[1], bad ? 99u : 1u, nullRequired ? nullptr : values};
             return GpiHostDispatch(GPIOP_ShapeSetAttributes, &a);
         }},
        {GPIOP_ShapeSetAttributeInt, {S, T}, false, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool, bool bad, Outs&) {
             GpiShapeSetAttributeIntArgs a = {h[0], h[1], bad ? 99u : 0u, 7};
             return GpiHostDispatch(GPIOP_ShapeSetAttributeInt, &a);
         }},
        {GPIOP_ShapeSetAttributeDouble, {S, T}, false, GPIERR_IndexOutOfBounds,
         [](const Handles& h, bool, bool bad, Outs&) {
             GpiShapeSetAttributeDoubleArgs a = {h[0], h[1], bad ? 99u : 0u, 0, 7.0};
             return GpiHostDispatch(GPIOP_ShapeSetAttributeDouble, &a);
         }},

        // The host's own operations that name the calling plug-in.
        {GPIOP_PluginPostMessage, {P}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             GpiPluginPostMessageArgs a = {h[0], 5};
             return GpiHostDispatch(GPIOP_PluginPostMessage, &a);
         }},
        {GPIOP_SetStatusText, {P}, false, 0,
         [](const Handles& h, bool, bool, Outs&) {
             GpiSetStatusTextArgs a = {h[0], "Busy"};
             return GpiHostDispatch(GPIOP_SetStatusText, &a);
         }},
        {GPIOP_GetHostVersion, {P}, true, 0,
         [](const Handles& h, bool nullRequired, bool, Outs& o) {
             GpiGetHostVersionArgs a = {h[0], o.text, nullRequired ? nullptr : &o.size};
             return GpiHostDispatch(GPIOP_GetHostVersion, &a);
         }},
    };
    return rows;
}

} // namespace

class GpiCheckOrder : public GpiOpsTest {
protected:
    void SetUp() override {
        GpiOpsTest::SetUp();
        m_Identity = AddPlugin(nullptr, "{00000000-0000-0000-0000-0000000000c1}");
        // A field, so that checks of field numbers have one to pass.
        CAttributeFieldInfo info;
        info.m_Name = "ID";
        info.m_Type = FT_Int;
        for (CTheme* theme : {m_Points, m_Polygons})
            theme->AddAttribute(info, nullptr, nullptr);
        m_Points->m_Modified = m_Polygons->m_Modified = false;
        m_Doc->m_debugFlags = 0xFF;
        m_Shape = GpiShapeHandle(m_Points->AddPointAt(false, false, 1.0, 2.0));
        auto recordset = std::make_unique<GpiRecordset>();
        recordset->m_Handles = {m_Shape};
        m_Recordset = GpiAddRecordset(std::move(recordset));
    }

    // A valid handle of the kind, and a valid handle of another kind.
    std::uint32_t Valid(int kind) const {
        switch (kind) {
        case GPIHANDLE_Workspace: return m_Workspace;
        case GPIHANDLE_Theme: return m_PointsHandle;
        case GPIHANDLE_Shape: return m_Shape;
        case GPIHANDLE_Recordset: return m_Recordset;
        default: return m_Identity;
        }
    }
    std::uint32_t OfAnotherKind(int kind) const {
        return kind == GPIHANDLE_Theme ? m_Workspace : m_PointsHandle;
    }

    // What a failing call must not change.
    std::string Snapshot() const {
        std::string s = std::to_string(m_Doc->m_themes.size()) + "|" + m_Doc->m_description + "|" +
                        std::to_string(m_Doc->m_selectedThemes.size()) + "|" +
                        std::to_string(m_Doc->m_gpiDataBlocks.size()) + "|" + std::to_string(m_Events.m_Codes.size()) +
                        "|" + std::to_string(m_Doc->m_Lines.size()) + "|" +
                        std::to_string(GpiState().m_Recordsets.Size());
        for (const CTheme* t : m_Doc->m_themes)
            s += "|" + t->m_Name + "," + t->m_Comment + "," + std::to_string(t->m_Color) + "," +
                 std::to_string(t->m_OutlineColor) + "," + std::to_string(t->m_LineWidth) + "," +
                 std::to_string(t->m_PenStyle) + "," + std::to_string(t->GetAttributeCount()) + "," +
                 std::to_string(t->m_GpiData.size()) + "," + std::to_string(t->m_Modified) + "," +
                 std::to_string(t->m_SourceType) + "," + std::to_string(t->m_Bounds[2]);
        return s;
    }

    // Runs one failing call and checks that it answered the code, wrote no
    // out word and changed nothing.
    void ExpectRefused(const Row& row, const Handles& h, bool nullRequired, bool bad, int code,
                       const std::string& what) {
        const std::string before = Snapshot();
        Outs outs;
        EXPECT_EQ(row.call(h, nullRequired, bad, outs), code) << "op " << row.op << ": " << what;
        EXPECT_TRUE(outs.Untouched()) << "op " << row.op << ": " << what;
        EXPECT_EQ(Snapshot(), before) << "op " << row.op << ": " << what;
    }

    std::uint32_t m_Identity = 0;
    std::uint32_t m_Shape = 0;
    std::uint32_t m_Recordset = 0;
};

TEST_F(GpiCheckOrder, EveryOperationChecksBlockPointersHandlesThenValues) {
    for (const Row& row : Rows()) {
        Handles valid;
        for (int kind : row.kinds)
            valid.push_back(Valid(kind));

        const std::string before = Snapshot();
        EXPECT_EQ(GpiHostDispatch(row.op, nullptr), row.nullBlockCode) << "op " << row.op << ": null block";
        EXPECT_EQ(Snapshot(), before) << "op " << row.op;

        if (row.requiredPointer)
            ExpectRefused(row, valid, true, false, kIllegal, "null required pointer");

        for (std::size_t i = 0; i < row.kinds.size(); ++i) {
            Handles wrong = valid;
            wrong[i] = OfAnotherKind(row.kinds[i]);
            ExpectRefused(row, wrong, false, false, kInvalid, "handle of another kind in field " + std::to_string(i));
            wrong[i] = 0x7FFFFF00u;
            ExpectRefused(row, wrong, false, false, kInvalid, "unknown handle in field " + std::to_string(i));
            // The pointer is checked before any handle.
            wrong[i] = OfAnotherKind(row.kinds[i]);
            if (row.requiredPointer)
                ExpectRefused(row, wrong, true, false, kIllegal, "null pointer and a wrong handle");
            // Values come after the handles.
            if (row.badValueCode != 0)
                ExpectRefused(row, wrong, false, true, kInvalid, "bad value and a wrong handle");
        }

        Handles zero = valid;
        zero[0] = 0;
        ExpectRefused(row, zero, false, false, row.zeroHandleCode, "handle 0");

        if (row.badValueCode != 0)
            ExpectRefused(row, valid, false, true, row.badValueCode, "bad value");
    }
}
