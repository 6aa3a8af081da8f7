// The GPI operations on a theme as a whole: its name, comment, kind, bounds,
// visibility and selection state, label font, the colours, width and pen
// style of its default style, its attribute fields, an image theme's picture
// and the plug-in data kept with it.
//
// The style setters store the value and rebuild the default style; they send
// no update event and leave the modified flag alone: the plug-in asks for a
// repaint when it wants the change shown.

#include "workspace/gpi/GpiOperations.h"

#include "core/Theme.h"
#include "core/dBaseFile.h"
#include "framework/UserInterface.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiState.h"

#include <QImage>

#include <cstring>

namespace {

// The question the attribute dialog asks for a name a shape file cannot keep.
const char* const kNonConformingFieldName =
    "Attribute name does not conform to the shape file standard.\n\nIf this attribute name is exported to a "
    "shape file,\nthe name will be changed to obey the standard.\n\nContinue anyway?";

constexpr std::uint32_t kFieldTypeMask = 0x7FFFFFFFu;

// An out word of a theme: read under the lock once the checks have passed.
template <class Read> int ReadThemeWord(void* args, bool zeroHandleIsIllegal, Read read) {
    auto* block = static_cast<GpiHandleOutArgs*>(args);
    if (block == nullptr || block->out == nullptr || (zeroHandleIsIllegal && block->handle == 0))
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    *block->out = read(*theme);
    return GPIERR_NoError;
}

// A member of the default style set from a plug-in's word.
template <class Write> int WriteThemeStyle(void* args, Write write) {
    auto* block = static_cast<GpiHandleValueArgs*>(args);
    if (block == nullptr || block->handle == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    write(*theme, block->value);
    theme->UpdateDefaultStyle();
    return GPIERR_NoError;
}

int ReadThemeText(void* args, const std::string CTheme::*member) {
    auto* block = static_cast<GpiHandleStringArgs*>(args);
    if (block == nullptr || block->size == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    return GpiStringProtocol(theme->*member, block->buffer, block->size);
}

// A text member of a theme set from a plug-in's text; `then(theme)` runs
// after, still under the lock.
template <class Args, class Then> int WriteThemeText(void* args, std::string CTheme::*member, Then then) {
    auto* block = static_cast<Args*>(args);
    if (block == nullptr || block->text == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    theme->*member = block->text;
    then(theme);
    return GPIERR_NoError;
}

// The colour the plain colour operations read and write: a polygon's
// outline, else the one colour the theme is drawn in.
std::uint32_t& StyleColour(CTheme& theme) {
    return theme.IsPolygonTheme() ? theme.m_OutlineColor : theme.m_Color;
}

bool IsFieldOf(const CTheme& theme, std::uint32_t field) { return field < theme.GetAttributeCount(); }

} // namespace

int GpiOnThemeIsSelected(void* args) {
    return ReadThemeWord(args, false, [](CTheme& theme) -> std::uint32_t {
        const CCorvaleDoc* document = GpiDocumentOfTheme(&theme);
        return document != nullptr && document->IsThemeSelected(&theme) ? 1 : 0;
    });
}

int GpiOnThemeIsReadOnly(void* args) {
    return ReadThemeWord(args, false, [](CTheme& theme) -> std::uint32_t { return theme.m_Editable ? 0 : 1; });
}

int GpiOnThemeGetName(void* args) { return ReadThemeText(args, &CTheme::m_Name); }

int GpiOnThemeSetName(void* args) {
    return WriteThemeText<GpiThemeSetNameArgs>(args, &CTheme::m_Name, [](CTheme* theme) {
        if (CCorvaleDoc* document = GpiDocumentOfTheme(theme))
            document->FireUpdateEvent(nullptr, DUE_ThemeRenamed, reinterpret_cast<std::intptr_t>(theme));
    });
}

int GpiOnThemeGetFieldCount(void* args) {
    return ReadThemeWord(args, false, [](CTheme& theme) -> std::uint32_t { return theme.GetAttributeCount(); });
}

int GpiOnThemeGetShapeType(void* args) {
    return ReadThemeWord(args, false, [](CTheme& theme) -> std::uint32_t { return theme.m_ShapeType; });
}

int GpiOnThemeGetBounds(void* args) {
    auto* block = static_cast<GpiThemeGetBoundsArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    // The stored values, valid or not: a plug-in that cares recalculates.
    double* const outs[4] = {block->xmin, block->ymin, block->xmax, block->ymax};
    for (int i = 0; i < 4; ++i)
        if (outs[i] != nullptr)
            *outs[i] = theme->m_Bounds[i];
    return GPIERR_NoError;
}

int GpiOnThemeRecalcBounds(void* args) {
    const std::uint32_t handle = GpiHandleOfBlock(args);
    if (handle == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    theme->RecalculateBounds();
    return GPIERR_NoError;
}

int GpiOnThemeGetLabelFont(void* args) {
    auto* block = static_cast<GpiThemeGetLabelFontArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (block->font != nullptr)
        theme->m_LabelFont.ToBytes(static_cast<unsigned char*>(block->font));
    if (block->colour != nullptr)
        *block->colour = theme->m_LabelColor;
    return GPIERR_NoError;
}

int GpiOnThemeGetFieldName(void* args) {
    auto* block = static_cast<GpiThemeGetFieldNameArgs*>(args);
    if (block == nullptr || block->size == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (!IsFieldOf(*theme, block->field))
        return GPIERR_IndexOutOfBounds;
    return GpiStringProtocol(theme->GetAttributeName(static_cast<int>(block->field)), block->buffer, block->size);
}

int GpiOnThemeGetWorkspace(void* args) {
    return ReadThemeWord(args, false,
                         [](CTheme& theme) { return GpiWorkspaceHandle(GpiDocumentOfTheme(&theme)); });
}

int GpiOnThemeIsVisible(void* args) {
    return ReadThemeWord(args, false, [](CTheme& theme) -> std::uint32_t {
        // Drawn now: in a document with a map view, shown, and at a scale
        // within the theme's range when it has one.
        CCorvaleDoc* document = GpiDocumentOfTheme(&theme);
        if (document == nullptr || document->m_mapView == nullptr || !theme.m_Visible)
            return 0;
        if (!theme.m_ScaleDependent)
            return 1;
        const double unitsPerPixel = document->GetUnitsPerPixel();
        return theme.m_MinScale <= unitsPerPixel && unitsPerPixel <= theme.m_MaxScale ? 1 : 0;
    });
}

int GpiOnThemeAddField(void* args) {
    auto* block = static_cast<GpiThemeAddFieldArgs*>(args);
    if (block == nullptr || block->name == nullptr || block->name[0] == '\0')
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (theme->m_SourceType != ST_Native)
        return GPIERR_PermissionDenied;
    // A name a shape file cannot keep is cut or changed on export; the user
    // decides, as in the attribute dialog.
    if (!IsValidFieldName(block->name) &&
        corvale::UI().ShowMessage(kNonConformingFieldName, corvale::MessageIcon::Warning,
                                  corvale::MessageButtons::YesNo) != corvale::IDYES)
        return GPIERR_IllegalParameter;
    CAttributeFieldInfo info;
    info.m_Name = block->name;
    const std::uint32_t type = block->type & kFieldTypeMask;
    info.m_Type = type >= GPIFT_Int && type <= GPIFT_Boolean ? static_cast<std::int32_t>(type) : FT_String;
    info.m_PrimaryKey = (block->type & GPI_FIELD_KEY) != 0;
    const int field = theme->AddAttribute(info, block->defaultValue, nullptr);
    if (field < 0)
        return GPIERR_PermissionDenied;
    if (block->field != nullptr)
        *block->field = static_cast<std::uint32_t>(field);
    return GPIERR_NoError;
}

int GpiOnThemeDeleteField(void* args) {
    auto* block = static_cast<GpiThemeDeleteFieldArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (block->value > static_cast<std::uint32_t>(INT32_MAX) ||
        !theme->DeleteAttribute(static_cast<int>(block->value)))
        return GPIERR_PermissionDenied;
    return GPIERR_NoError;
}

int GpiOnThemeGetComment(void* args) { return ReadThemeText(args, &CTheme::m_Comment); }

int GpiOnThemeSetComment(void* args) {
    return WriteThemeText<GpiThemeSetCommentArgs>(args, &CTheme::m_Comment, [](CTheme*) {});
}

int GpiOnThemeGetColor(void* args) {
    return ReadThemeWord(args, true, [](CTheme& theme) { return StyleColour(theme); });
}

int GpiOnThemeSetColor(void* args) {
    return WriteThemeStyle(args, [](CTheme& theme, std::uint32_t value) { StyleColour(theme) = value; });
}

int GpiOnThemeGetBaseColor(void* args) {
    return ReadThemeWord(args, true, [](CTheme& theme) { return theme.m_Color; });
}

int GpiOnThemeSetBaseColor(void* args) {
    return WriteThemeStyle(args, [](CTheme& theme, std::uint32_t value) { theme.m_Color = value; });
}

int GpiOnThemeGetLineWidth(void* args) {
    return ReadThemeWord(args, true, [](CTheme& theme) { return static_cast<std::uint32_t>(theme.m_LineWidth); });
}

int GpiOnThemeSetLineWidth(void* args) {
    return WriteThemeStyle(args,
                           [](CTheme& theme, std::uint32_t value) { theme.m_LineWidth = static_cast<int>(value); });
}

int GpiOnThemeGetPenStyle(void* args) {
    return ReadThemeWord(args, true, [](CTheme& theme) { return static_cast<std::uint32_t>(theme.m_PenStyle); });
}

int GpiOnThemeSetPenStyle(void* args) {
    return WriteThemeStyle(args,
                           [](CTheme& theme, std::uint32_t value) { theme.m_PenStyle = static_cast<int>(value); });
}

int GpiOnThemeSetRasterImage(void* args) {
    auto* block = static_cast<GpiThemeSetRasterImageArgs*>(args);
    if (block == nullptr || block->theme == 0)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (theme->m_ShapeType != SHT_Image)
        return GPIERR_UnexpectedShapeType;
    QImage image;
    if (!GpiCopyBitmap(block->bitmap, image))
        return GPIERR_IllegalParameter;
    const CDoubleRect rect(block->x1, block->y1, block->x2, block->y2);
    if (!theme->SetExternalRaster(rect, block->name != nullptr ? block->name : "", image))
        return GPIERR_IllegalParameter;
    return GPIERR_NoError;
}

int GpiOnThemeSetPluginData(void* args) {
    return GpiOnSetPluginData<GpiThemeSetPluginDataArgs>(
        args, GpiThemeFromHandle, [](CTheme* theme, const GpiDataBlock& data) { theme->SetGpiDataBlock(data); });
}

int GpiOnThemeSetSelected(void* args) {
    auto* block = static_cast<GpiThemeSetSelectedArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->handle);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (CCorvaleDoc* document = GpiDocumentOfTheme(theme))
        document->SetThemeSelected(theme, block->value != 0);
    return GPIERR_NoError;
}

int GpiOnThemeGetFieldType(void* args) {
    auto* block = static_cast<GpiThemeGetFieldTypeArgs*>(args);
    if (block == nullptr || block->type == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (!IsFieldOf(*theme, block->field))
        return GPIERR_IndexOutOfBounds;
    const int field = static_cast<int>(block->field);
    const int type = theme->GetAttributeType(field);
    std::uint32_t word = type >= FT_String && type <= FT_Boolean ? static_cast<std::uint32_t>(type) : 0;
    if (theme->IsKeyAttribute(field))
        word |= GPI_FIELD_KEY;
    *block->type = word;
    return GPIERR_NoError;
}

int GpiOnThemeFindField(void* args) {
    auto* block = static_cast<GpiThemeFindFieldArgs*>(args);
    if (block == nullptr || block->name == nullptr || block->field == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    const CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    const int field = theme->FindAttribute(block->name);
    if (field < 0)
        return GPIERR_False;
    *block->field = static_cast<std::uint32_t>(field);
    return GPIERR_NoError;
}

int GpiOnThemeSetFieldText(void* args) {
    auto* block = static_cast<GpiThemeSetFieldTextArgs*>(args);
    if (block == nullptr)
        return GPIERR_IllegalParameter;
    if (block->theme == 0)
        return GPIERR_InvalidHandle;
    if (block->text == nullptr)
        return GPIERR_IllegalParameter;
    CGpiLockGuard guard;
    CTheme* theme = GpiThemeFromHandle(block->theme);
    if (theme == nullptr)
        return GPIERR_InvalidHandle;
    if (!theme->m_Editable)
        return GPIERR_PermissionDenied;
    if (!IsFieldOf(*theme, block->field))
        return GPIERR_IndexOutOfBounds;
    // Only a theme's own table keeps descriptions; other editable themes
    // accept the call and keep nothing.
    if (theme->m_SourceType == ST_Native &&
        theme->m_NativeTable.SetFieldDescription(static_cast<int>(block->field), block->text))
        theme->m_Modified = true;
    return GPIERR_NoError;
}

bool GpiCopyBitmap(const GpiBitmap* bitmap, QImage& image) {
    // The pixels are copied row by row; a description that does not add up
    // would read outside the plug-in's buffer.
    constexpr std::uint32_t kLargestSide = 1u << 15;
    if (bitmap == nullptr || bitmap->pixels == nullptr || bitmap->width == 0 || bitmap->height == 0 ||
        bitmap->width > kLargestSide || bitmap->height > kLargestSide || bitmap->stride / 4 < bitmap->width)
        return false;
    QImage copy(static_cast<int>(bitmap->width), static_cast<int>(bitmap->height), QImage::Format_ARGB32);
    if (copy.isNull())
        return false;
    const auto* rows = static_cast<const unsigned char*>(bitmap->pixels);
    for (std::uint32_t y = 0; y < bitmap->height; ++y)
        std::memcpy(copy.scanLine(static_cast<int>(y)), rows + std::size_t(y) * bitmap->stride,
                    std::size_t(bitmap->width) * 4);
    image = std::move(copy);
    return true;
}
