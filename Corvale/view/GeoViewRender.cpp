// The map renderer: CGeoView::RenderMap and the printed legend block.

#include "view/GeoView.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "core/styles/BrushPatterns.h"
#include "core/styles/PointSymbols.h"
#include "geometry/DoubleRect.h"
#include "geometry/ShapeMeasures.h"
#include "settings/AppSettings.h"
#include "view/MapDrawing.h"
#include "view/MapRenderer.h"
#include "view/ShapeParts.h"
#include "view/ThemeDisplaySettings.h"
#include "workspace/CorvaleDoc.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QPrinter>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kPointIconSize = 32;
constexpr std::uint32_t kEmptyTextColour = 0xB4B4B4;
// Said by an empty workspace.
constexpr const char* kEmptyWorkspaceText =
    "This workspace is empty.\r\n\r\nAdd data from the Insert menu, or load a workspace from the "
    "File menu.";
// Printed lines and legend cells are six times as wide as on the screen.
constexpr int kPrintWidthFactor = 6;
constexpr int kLabelOffset = 2;
constexpr int kLabelMargin = 20;

QString ToDisplayText(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

bool IsPointType(std::uint32_t type) {
    return type == SHT_Point || type == SHT_PointZ;
}
bool IsPolylineType(std::uint32_t type) {
    return type == SHT_Polyline || type == SHT_PolylineZ;
}
bool IsPolygonType(std::uint32_t type) {
    return type == SHT_Polygon || type == SHT_PolygonZ;
}

// The style that draws the shape at a position: its entry in the theme's
// per-shape list when the list reaches it, the default style when the list
// is empty, else the default style too, so a shape is never drawn with
// whatever the shape before it left behind.
CStyleInfo* StyleAt(const CTheme& theme, std::size_t position, CStyleInfo* defaultStyle) {
    if (theme.m_ShapeStyles.empty())
        return defaultStyle;
    CStyleInfo* style =
        position < theme.m_ShapeStyles.size() ? theme.m_ShapeStyles[position] : nullptr;
    return style != nullptr ? style : defaultStyle;
}

// The label font kept at its size on paper: a font given in pixels of the
// screen is turned into points, which the printer scales by its resolution.
QFont PrintFont(const QFont& font, bool printing) {
    if (!printing || font.pixelSize() <= 0)
        return font;
    QFont printed(font);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    printed.setPointSizeF(font.pixelSize() * 72.0 / (dpi > 0.0 ? dpi : 96.0));
    return printed;
}

// DrawPolygonShape for the common one-ring polygon, through an integer
// polygon with the vertices that fall on the pixel before them left out: the
// same outline and fill for far less work. A ring that shrinks to one pixel
// is a dot. Polygons of several rings take DrawPolygonShape.
bool DrawPolygonRecord(const CMapViewport& viewport, QPainter& dc, const CShapeRecord* record,
                       QPolygon& buffer) {
    if (record == nullptr || CShapeRecord::GetPartCount(record) != 1 ||
        !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
        return DrawPolygonShape(viewport, dc, record);
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    GetPartRange(record, 0, first, end);
    if (end - first < 2)
        return DrawPolygonShape(viewport, dc, record);
    const double xmin = CShapeRecord::GetMinX(record);
    const double xmax = CShapeRecord::GetMaxX(record);
    const double ymin = CShapeRecord::GetMinY(record);
    const double ymax = CShapeRecord::GetMaxY(record);
    if (!(std::min(xmin, xmax) <= std::max(viewport.minX, viewport.maxX) &&
          std::min(viewport.minX, viewport.maxX) <= std::max(xmin, xmax) &&
          std::min(ymin, ymax) <= std::max(viewport.minY, viewport.maxY) &&
          std::min(viewport.minY, viewport.maxY) <= std::max(ymin, ymax)))
        return false;
    // The buffer only grows, and the pixels are written straight into it:
    // appending one at a time costs more than turning the vertex. The points
    // come out of the record a run at a time, and a pixel is always written,
    // kept only when it differs from the one before: no call and no branch
    // that guesses wrong per vertex.
    if (buffer.size() < static_cast<qsizetype>(end - first))
        buffer.resize(static_cast<qsizetype>(end - first));
    QPoint* const pixels = buffer.data();
    int kept = 0;
    CShapePoint run[64];
    for (std::uint32_t at = first; at < end;) {
        const std::uint32_t got = CShapeRecord::GetPoints(record, at, std::min<std::uint32_t>(64, end - at), run);
        if (got == 0)
            break;
        for (std::uint32_t k = 0; k < got; ++k) {
            const QPoint p(MapToDeviceX(viewport, run[k].x), MapToDeviceY(viewport, run[k].y));
            pixels[kept] = p;
            kept += kept == 0 || pixels[kept - 1] != p;
        }
        at += got;
    }
    if (kept == 1)
        dc.drawPoint(pixels[0]);
    else
        dc.drawPolygon(pixels, kept, Qt::WindingFill);
    return true;
}

// The part of an icon worth drawing, worked out once per icon of a theme.
class CIconParts {
public:
    const QRect& Get(const QImage& icon) {
        const qint64 key = icon.cacheKey();
        auto it = m_Parts.find(key);
        if (it == m_Parts.end())
            it = m_Parts.emplace(key, GetIconOpaqueRect(icon)).first;
        return it->second;
    }

private:
    std::unordered_map<qint64, QRect> m_Parts;
};

// Point icons drawn straight into the pixels of an image. A map full of
// points draws the same few icons a million times, and QPainter's general
// blending costs most of that. Icons whose pixels are each either opaque or
// fully transparent (the symbol icons are) come out of SourceOver as a plain
// copy of their opaque pixels, so they are copied run by run; the picture is
// the same to the bit. Anything else (partly transparent icons, a painter
// with a transformation, a clip, another composition mode or opacity, a
// device that is no image of 32-bit pixels) takes the painter.
class CDirectIcons {
public:
    explicit CDirectIcons(QPainter& dc) {
        QPaintDevice* device = dc.device();
        if (device == nullptr || device->devType() != QInternal::Image)
            return;
        auto* image = static_cast<QImage*>(device);
        const bool plainFormat = image->format() == QImage::Format_RGB32 ||
                                 image->format() == QImage::Format_ARGB32_Premultiplied;
        // A shared image would be copied by the write access below, leaving
        // the painter drawing into the other copy.
        if (!plainFormat || !image->isDetached() || image->devicePixelRatio() != 1.0 ||
            dc.hasClipping() || !dc.combinedTransform().isIdentity() ||
            dc.compositionMode() != QPainter::CompositionMode_SourceOver || dc.opacity() != 1.0)
            return;
        m_Image = image;
        m_Bits = image->bits();
        m_Stride = image->bytesPerLine();
        m_Width = image->width();
        m_Height = image->height();
    }

    // Draws the icon with its top-left pixel at (left, top); false when the
    // icon must go through the painter.
    bool Draw(const QImage& icon, std::int64_t left, std::int64_t top) {
        if (m_Image == nullptr)
            return false;
        const Runs& runs = RunsOf(icon);
        if (!runs.usable)
            return false;
        for (const Run& run : runs.runs) {
            const std::int64_t y = top + run.row;
            if (y < 0 || y >= m_Height)
                continue;
            const std::int64_t x0 = std::max<std::int64_t>(left + run.first, 0);
            const std::int64_t x1 = std::min<std::int64_t>(left + run.first + run.count, m_Width);
            if (x0 >= x1)
                continue;
            const QRgb* source = runs.pixels.data() + run.pixel + (x0 - left - run.first);
            std::memcpy(m_Bits + y * m_Stride + x0 * 4, source,
                        static_cast<std::size_t>(x1 - x0) * sizeof(QRgb));
        }
        return true;
    }

private:
    struct Run {
        int row;
        int first;
        int count;
        std::size_t pixel;
    };
    struct Runs {
        bool usable = false;
        std::vector<Run> runs;
        std::vector<QRgb> pixels;
    };

    const Runs& RunsOf(const QImage& icon) {
        const qint64 key = icon.cacheKey();
        auto it = m_Runs.find(key);
        if (it != m_Runs.end())
            return it->second;
        Runs& runs = m_Runs[key];
        if (icon.isNull() || icon.format() != QImage::Format_ARGB32_Premultiplied)
            return runs;
        for (int y = 0; y < icon.height(); ++y) {
            const uchar* line = icon.constScanLine(y);
            int x = 0;
            while (x < icon.width()) {
                QRgb word = 0;
                std::memcpy(&word, line + 4 * static_cast<std::size_t>(x), sizeof word);
                const int alpha = qAlpha(word);
                if (alpha != 0 && alpha != 255)
                    return runs; // not usable
                if (alpha == 0) {
                    ++x;
                    continue;
                }
                Run run{y, x, 0, runs.pixels.size()};
                while (x < icon.width()) {
                    std::memcpy(&word, line + 4 * static_cast<std::size_t>(x), sizeof word);
                    if (qAlpha(word) == 0)
                        break;
                    if (qAlpha(word) != 255)
                        return runs;
                    runs.pixels.push_back(word);
                    ++run.count;
                    ++x;
                }
                runs.runs.push_back(run);
            }
        }
        runs.usable = true;
        return runs;
    }

    QImage* m_Image = nullptr;
    uchar* m_Bits = nullptr;
    std::int64_t m_Stride = 0;
    std::int64_t m_Width = 0;
    std::int64_t m_Height = 0;
    std::unordered_map<qint64, Runs> m_Runs;
};

// DrawPointIconPart, straight into the image when the icon allows it.
void DrawPointIconFast(CDirectIcons& direct, const QImage& icon, const QSize& size,
                       const QRect& part, const CMapViewport& viewport, QPainter& dc,
                       const CShapeRecord* record) {
    const CShapePoint p = CShapeRecord::GetPoint(record, 0);
    const CDevicePoint s = MapToDevice(viewport, p.x, p.y);
    if (!(std::int64_t(viewport.left) - 3 <= s.x && s.x < std::int64_t(viewport.right) + 3 &&
          std::int64_t(viewport.top) - 3 <= s.y && s.y < std::int64_t(viewport.bottom) + 3))
        return;
    if (!direct.Draw(icon, std::int64_t(s.x) - size.width() / 2,
                     std::int64_t(s.y) - size.height() / 2))
        DrawPointIconPart(icon, size, part, viewport, dc, record);
}

// Everything one rendering shares between its themes.
class CRenderPass {
public:
    CRenderPass(CGeoView& view, CCorvaleDoc& doc, QPainter& dc, bool printing)
        : m_View(view), m_Doc(doc), m_Dc(dc), m_Printing(printing), m_Viewport(view.m_viewport),
          m_Settings(*CAppSettings::GetInstance()) {}

    void DrawTheme(CTheme& theme);
    void DrawLabels(CTheme& theme, std::vector<CDeviceRect>& placed);

private:
    bool IsSelected(const CTheme& theme, const CShapeRecord* record) const {
        return theme.m_Selection.count(GetShapeRecordIndex(record)) != 0;
    }
    bool IsActive(const CTheme& theme) const { return &theme == m_Doc.m_activeTheme; }
    // Draws the shapes in visible order that are not selected (when
    // checkSelection), each after beginning its style when that changed, and
    // answers the selected ones, which the caller draws last.
    template <class Draw>
    std::vector<CShapeRecord*> DrawUnselected(const CTheme& theme, const std::vector<CShapeRecord*>& shapes,
                                              bool checkSelection, Draw draw);
    void DrawPolygons(CTheme& theme);
    void DrawPolylines(CTheme& theme, const CThemeDisplaySettings& display);
    void DrawPolyline(CTheme& theme, CShapeRecord* record, bool selected, const QPen& selectionPen);
    void DrawPoints(CTheme& theme, const CThemeDisplaySettings& display);
    void DrawBoundingBoxes(CTheme& theme);

    CGeoView& m_View;
    CCorvaleDoc& m_Doc;
    QPainter& m_Dc;
    const bool m_Printing;
    const CMapViewport& m_Viewport;
    const CAppSettings& m_Settings;
};

template <class Draw>
std::vector<CShapeRecord*> CRenderPass::DrawUnselected(const CTheme& theme, const std::vector<CShapeRecord*>& shapes,
                                                       bool checkSelection, Draw draw) {
    CStyleInfo* const defaultStyle = theme.m_Styles.empty() ? nullptr : theme.m_Styles[0].get();
    CStyleInfo* current = nullptr;
    std::vector<CShapeRecord*> selected;
    for (std::size_t position = 0; position < shapes.size(); ++position) {
        CShapeRecord* record = shapes[position];
        if (checkSelection && IsSelected(theme, record)) {
            selected.push_back(record);
            continue;
        }
        CStyleInfo* style = StyleAt(theme, position, defaultStyle);
        if (style != nullptr && style != current) {
            style->BeginDraw(m_Dc, m_Printing);
            current = style;
        }
        draw(record);
    }
    return selected;
}

void CRenderPass::DrawTheme(CTheme& theme) {
    if (theme.m_SpatialIndex)
        theme.m_SpatialIndex->AdvanceTag();
    const CThemeDisplaySettings display = GetThemeDisplaySettings(theme);
    if (theme.m_ShapeType == SHT_Image) {
        DrawRasterTheme(&theme, m_Viewport, m_Dc, display.m_RasterSmoothing);
        m_View.m_selectionAreaShown = theme.m_SelectionArea != nullptr;
        return;
    }
    if (!theme.m_VisiblePolygons.empty())
        DrawPolygons(theme);
    if (!theme.m_VisibleArcs.empty())
        DrawPolylines(theme, display);
    if (!theme.m_VisiblePoints.empty())
        DrawPoints(theme, display);
    if (m_Doc.m_showBoundingBoxes && IsActive(theme) &&
        (IsPolylineType(theme.m_ShapeType) || IsPolygonType(theme.m_ShapeType)))
        DrawBoundingBoxes(theme);
}

void CRenderPass::DrawPolygons(CTheme& theme) {
    m_Dc.save();
    // A patterned fill's brush leaves its background pixels transparent, so
    // the map below shows through the pattern's gaps.
    m_Dc.setBackgroundMode(Qt::TransparentMode);
    const bool checkSelection = IsActive(theme) && !theme.m_Selection.empty();
    const QBrush selectionBrush(ColorFromColorRef(m_Settings.m_ColorSelection));
    const QPen selectionPen =
        MakeStylePen(theme.m_PenStyle, theme.m_LineWidth, m_Settings.m_ColorSelectionOutline);
    QPolygon buffer;
    // Selected shapes come after the others, so that a shape lying on or
    // under another of the theme still shows its selection.
    const std::vector<CShapeRecord*> selected =
        DrawUnselected(theme, theme.m_VisiblePolygons, checkSelection,
                       [&](CShapeRecord* record) { DrawPolygonRecord(m_Viewport, m_Dc, record, buffer); });
    if (!selected.empty()) {
        m_Dc.setPen(selectionPen);
        m_Dc.setBrush(selectionBrush);
        for (CShapeRecord* record : selected)
            DrawPolygonRecord(m_Viewport, m_Dc, record, buffer);
        m_View.m_selectionAreaShown = true;
    }
    m_Dc.restore();
}

void CRenderPass::DrawPolyline(CTheme& theme, CShapeRecord* record, bool selected,
                               const QPen& selectionPen) {
    if (selected) {
        const QPen pen = m_Dc.pen();
        m_Dc.setPen(selectionPen);
        DrawOffsetPolyline(record, m_Viewport, m_Dc, theme.m_LineOffsetMode, theme.m_LineOffset);
        m_Dc.setPen(pen);
        m_View.m_selectionAreaShown = true;
    } else {
        DrawOffsetPolyline(record, m_Viewport, m_Dc, theme.m_LineOffsetMode, theme.m_LineOffset);
    }
    if (!theme.m_ShowArrows || m_Printing || CShapeRecord::GetPointCount(record) < 2)
        return;
    CShapePoint at;
    double angle = 0.0;
    if (!GetPolylinePositionAtFraction(record, theme.m_ArrowPosition, at, angle))
        return;
    const QImage icon = theme.m_ArrowImage.GetIcon(angle);
    if (icon.isNull())
        return;
    const std::uint32_t parts = CShapeRecord::GetPartCount(record);
    const CDevicePoint offset = parts > 0
                                    ? GetOffsetVector(record, parts - 1, m_Viewport,
                                                      theme.m_LineOffsetMode, theme.m_LineOffset)
                                    : CDevicePoint();
    DrawIconAtOffset(icon, QSize(CArrowImage::kIconSize, CArrowImage::kIconSize), m_Viewport, m_Dc,
                     offset.x, offset.y, at.x, at.y);
}

void CRenderPass::DrawPolylines(CTheme& theme, const CThemeDisplaySettings&) {
    m_Dc.save();
    // Gaps of patterned lines show what lies below.
    m_Dc.setBackgroundMode(Qt::TransparentMode);
    const bool checkSelection = IsActive(theme) && !theme.m_Selection.empty();
    const std::int64_t width =
        static_cast<std::int64_t>(theme.m_LineWidth) * (m_Printing ? kPrintWidthFactor : 1);
    const QPen selectionPen = MakeStylePen(theme.m_PenStyle, width, m_Settings.m_ColorSelection);
    CStyleInfo* const defaultStyle = theme.m_Styles.empty() ? nullptr : theme.m_Styles[0].get();

    const bool spatialOrder = theme.m_SpatialIndex && theme.GetFilteredShapeCount() == 0 &&
                              theme.m_AdvancedProperties.m_Properties.empty();
    // Selected shapes are drawn last, so that a two-way road's other line,
    // or a copy made from a selected shape, never hides the selection.
    std::vector<CShapeRecord*> selected;
    if (spatialOrder) {
        // Only the records listed in the cells under the extent are looked
        // at, each once however many cells it covers; whole cells, since a
        // wide or offset line shows beyond its box.
        if (defaultStyle != nullptr)
            defaultStyle->BeginDraw(m_Dc, m_Printing);
        const CDoubleRect box(m_Viewport.minX, m_Viewport.minY, m_Viewport.maxX, m_Viewport.maxY);
        theme.m_SpatialIndex->ForEachCellCandidate(box, [&](CShapeRecord* record) {
            if (checkSelection && IsSelected(theme, record))
                selected.push_back(record);
            else
                DrawPolyline(theme, record, false, selectionPen);
            return true;
        });
    } else {
        selected = DrawUnselected(theme, theme.m_VisibleArcs, checkSelection, [&](CShapeRecord* record) {
            DrawPolyline(theme, record, false, selectionPen);
        });
    }
    for (CShapeRecord* record : selected)
        DrawPolyline(theme, record, true, selectionPen);
    m_Dc.restore();
}

void CRenderPass::DrawPoints(CTheme& theme, const CThemeDisplaySettings& display) {
    m_Dc.save();
    const bool checkSelection = IsActive(theme) && !theme.m_Selection.empty();
    SymbolIconList icons;
    QImage selectionIcon;
    if (checkSelection && !m_Printing)
        selectionIcon = CreateSymbolIcon(icons, 0 + 1, m_Settings.m_ColorSelection);
    int fx = 6;
    int fy = 6;
    if (m_Printing && m_Dc.device() != nullptr) {
        fx = m_Dc.device()->logicalDpiX() / 100;
        fy = m_Dc.device()->logicalDpiY() / 100;
    }
    m_Dc.setFont(PrintFont(display.m_LabelFont, m_Printing));
    m_Dc.setPen(QPen(ColorFromColorRef(theme.m_Color), std::max(0, theme.m_LineWidth)));
    m_Dc.setBackgroundMode(Qt::TransparentMode);
    const QSize iconSize(kPointIconSize, kPointIconSize);
    CStyleInfo* const defaultStyle = theme.m_Styles.empty() ? nullptr : theme.m_Styles[0].get();
    CStyleInfo* current = nullptr;
    QImage icon;
    QRect iconPart;
    CIconParts parts;
    const QRect selectionPart = parts.Get(selectionIcon);
    CDirectIcons direct(m_Dc);
    const bool blank = theme.m_PointSymbol == kBlankPointSymbol;
    const std::vector<CShapeRecord*>& shapes = theme.m_VisiblePoints;
    auto drawSelectionMark = [&](CShapeRecord* record, const CSelectionEntry& entry) {
        m_View.m_selectionAreaShown = true;
        if (!m_Printing) {
            DrawPointIconFast(direct, selectionIcon, iconSize, selectionPart, m_Viewport, m_Dc,
                              record);
            return;
        }
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        const CDevicePoint s = MapToDevice(m_Viewport, p.x, p.y);
        const QPen pen = m_Dc.pen();
        m_Dc.setPen(QPen(ColorFromColorRef(entry.m_Color), 3 * fx));
        m_Dc.drawLine(s.x - 8 * fx, s.y, s.x + 8 * fx, s.y);
        m_Dc.drawLine(s.x, s.y - 8 * fy, s.x, s.y + 8 * fy);
        m_Dc.setPen(pen);
    };
    auto drawSymbol = [&](std::size_t position, CShapeRecord* record) {
        if (blank)
            return;
        CStyleInfo* style = StyleAt(theme, position, defaultStyle);
        if (style != nullptr && style != current) {
            style->BeginDraw(m_Dc, m_Printing);
            current = style;
            icon = style->GetIcon();
            iconPart = parts.Get(icon);
        }
        if (!m_Printing) {
            DrawPointIconFast(direct, icon, iconSize, iconPart, m_Viewport, m_Dc, record);
            return;
        }
        const int symbol = current != nullptr && current->GetStyleType() == SIT_Point
                               ? static_cast<CStyleInfoPoint*>(current)->m_Symbol
                               : theme.m_PointSymbol;
        const std::uint32_t colour = current != nullptr ? current->m_Color : theme.m_Color;
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        const CDevicePoint s = MapToDevice(m_Viewport, p.x, p.y);
        if (!DrawPointSymbol(SymbolUnit{static_cast<double>(fx), static_cast<double>(fy)}, s.y,
                             m_Dc, s.x, symbol, colour))
            DrawScaledPointIcon(icon, iconSize, m_Viewport, m_Dc, record, fx, fy);
    };
    // Selected points come after the others, so that no other point of the
    // theme covers them, and each gets its mark over its own symbol: the
    // default symbol is the mark's own shape, and drawn over the mark it
    // would hide the selection completely.
    std::vector<std::pair<std::size_t, const CSelectionEntry*>> selected;
    for (std::size_t position = 0; position < shapes.size(); ++position) {
        CShapeRecord* record = shapes[position];
        if (checkSelection) {
            const auto entry = theme.m_Selection.find(GetShapeRecordIndex(record));
            if (entry != theme.m_Selection.end()) {
                selected.emplace_back(position, &entry->second);
                continue;
            }
        }
        drawSymbol(position, record);
    }
    for (const auto& [position, entry] : selected) {
        drawSymbol(position, shapes[position]);
        drawSelectionMark(shapes[position], *entry);
    }
    if (display.m_ConnectPoints && shapes.size() > 1) {
        QPolygon line;
        line.reserve(static_cast<qsizetype>(shapes.size()));
        for (const CShapeRecord* record : shapes) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            const CDevicePoint s = MapToDevice(m_Viewport, p.x, p.y);
            if (line.isEmpty() || line.constLast() != QPoint(s.x, s.y))
                line << QPoint(s.x, s.y);
        }
        m_Dc.setBrush(Qt::NoBrush);
        m_Dc.drawPolyline(line);
    }
    DestroyIconList(icons);
    m_Dc.restore();
}

void CRenderPass::DrawBoundingBoxes(CTheme& theme) {
    m_Dc.save();
    m_Dc.setBrush(Qt::NoBrush);
    m_Dc.setPen(QPen(QColor(0, 0, 0), 0));
    for (const auto& entry : theme.m_Selection) {
        const CShapeRecord* record = theme.GetShape(theme.GetShapePosition(entry.first));
        if (record == nullptr || !CShapeRecord::IsMultiType(CShapeRecord::GetShapeType(record)))
            continue;
        const CDevicePoint a =
            MapToDevice(m_Viewport, CShapeRecord::GetMinX(record), CShapeRecord::GetMaxY(record));
        const CDevicePoint b =
            MapToDevice(m_Viewport, CShapeRecord::GetMaxX(record), CShapeRecord::GetMinY(record));
        // The outline covers the pixels from the first corner to the second,
        // both included.
        const std::int64_t w = std::int64_t(b.x) - a.x;
        const std::int64_t h = std::int64_t(b.y) - a.y;
        if (w < 0 || h < 0 || w > INT32_MAX || h > INT32_MAX)
            continue;
        m_Dc.drawRect(QRect(a.x, a.y, static_cast<int>(w), static_cast<int>(h)));
    }
    m_Dc.restore();
}

void CRenderPass::DrawLabels(CTheme& theme, std::vector<CDeviceRect>& placed) {
    const CThemeDisplaySettings display = GetThemeDisplaySettings(theme);
    if (!display.m_ShowLabels || !IsThemeVisibleInViewport(&theme, m_Viewport))
        return;
    const bool multiLine = theme.m_InfoTipTemplate.find('\n') != std::string::npos;
    m_Dc.save();
    m_Dc.setFont(PrintFont(display.m_LabelFont, m_Printing));
    m_Dc.setBackgroundMode(Qt::TransparentMode);
    m_Dc.setPen(QPen(ColorFromColorRef(display.m_LabelFrameColor), 0));
    m_Dc.setBrush(QBrush(ColorFromColorRef(display.m_LabelFillColor)));
    const QColor textColour = ColorFromColorRef(display.m_LabelColor);

    const CShapePoint corner1 =
        ScreenToMap(m_Viewport, m_Viewport.left + kLabelMargin, m_Viewport.top + kLabelMargin);
    const CShapePoint corner2 =
        ScreenToMap(m_Viewport, m_Viewport.right - kLabelMargin, m_Viewport.bottom - kLabelMargin);
    const CDoubleRect area(corner1.x, corner1.y, corner2.x, corner2.y);

    std::vector<std::int32_t> placeholders;
    theme.ParseInfoTipTemplate(placeholders);
    const std::int32_t alignment = theme.IsPointTheme() ? display.m_LabelAlignment : LP_Center;
    const std::vector<CShapeRecord*>& shapes =
        !theme.m_VisiblePoints.empty() ? theme.m_VisiblePoints
        : !theme.m_VisibleArcs.empty() ? theme.m_VisibleArcs
                                       : theme.m_VisiblePolygons;
    std::unordered_set<std::string> drawnTexts;
    for (std::size_t position = 0; position < shapes.size(); ++position) {
        const CShapeRecord* record = shapes[position];
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        CDoubleRect box;
        if (IsPointType(type)) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            box = CDoubleRect(p.x, p.y, p.x, p.y);
        } else {
            box = CDoubleRect(CShapeRecord::GetMinX(record), CShapeRecord::GetMinY(record),
                              CShapeRecord::GetMaxX(record), CShapeRecord::GetMaxY(record));
        }
        if (!box.Intersects(area))
            continue;
        const std::string text = theme.FormatInfoTip(static_cast<int>(position), placeholders);
        if (!display.m_LabelDuplicates && drawnTexts.count(text) != 0)
            continue;
        CShapePoint anchor;
        bool hasAnchor = false;
        if (IsPointType(type)) {
            anchor = CShapeRecord::GetPoint(record, 0);
            hasAnchor = true;
        } else if (IsPolylineType(type)) {
            hasAnchor = GetPolylineMidPoint(record, anchor);
        } else if (IsPolygonType(type)) {
            hasAnchor = GetPolygonCentre(record, anchor);
        }
        // A line without length or a polygon without a ring has no place
        // for a label.
        if (!hasAnchor)
            continue;
        CDeviceRect out;
        const bool drawn =
            multiLine
                ? DrawMultiLineLabel(m_Viewport, m_Dc, anchor.x, anchor.y, text, alignment,
                                     kLabelOffset, kLabelOffset, display.m_LabelFrame, &placed,
                                     &out, textColour)
                : DrawLabel(m_Viewport, m_Dc, anchor.x, anchor.y, text, alignment, kLabelOffset,
                            kLabelOffset, display.m_LabelFrame, &placed, &out, textColour);
        if (!drawn)
            continue;
        if (!display.m_LabelDuplicates)
            drawnTexts.insert(text);
        if (display.m_LabelForce)
            continue;
        const std::int64_t s = display.m_LabelSpacing;
        auto grow = [](std::int64_t v) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
        };
        placed.push_back(
            {grow(out.left - s), grow(out.top - s), grow(out.right + s), grow(out.bottom + s)});
    }
    m_Dc.restore();
}

} // namespace

void CGeoView::RenderMap(QPainter& dc, double extent[4], bool adjustAspect, bool drawEmptyText,
                         const CDeviceRect& deviceRect) {
    CCorvaleDoc* doc = GetDocument();
    CDeviceRect rect = deviceRect;
    const bool printing = m_printing;
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.setBackgroundMode(Qt::TransparentMode);
    if (!printing) {
        dc.fillRect(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)),
                    ColorFromColorRef(doc != nullptr ? doc->m_backgroundColor
                                                     : CAppSettings::GetInstance()->m_ColorBkgnd));
    } else {
        DrawPrintLegend(dc, rect);
    }

    // The extent only grows to the rectangle's proportions, its north-west
    // corner staying put. A rectangle without width or height has no
    // proportions to follow.
    const double pw = static_cast<double>(rect.right) - rect.left;
    const double ph = static_cast<double>(rect.bottom) - rect.top;
    if (adjustAspect && pw > 0.0 && ph > 0.0) {
        const double aspect = pw / ph;
        const double w = std::fabs(extent[2] - extent[0]);
        const double h = std::fabs(extent[3] - extent[1]);
        if (w / h <= aspect)
            extent[2] = extent[0] + h * aspect;
        else if (h > 0.0 || w > 0.0)
            extent[1] = extent[3] - w / aspect;
        if (!printing && doc != nullptr) {
            std::copy(extent, extent + 4, doc->m_viewExtent);
            doc->UpdateMapScale();
        }
    }
    SetMapViewport(m_viewport, rect, extent[0], extent[2], extent[1], extent[3]);

    if (doc == nullptr) {
        dc.restore();
        return;
    }

    if (drawEmptyText && !printing && doc->m_themes.empty()) {
        dc.save();
        dc.setFont(QApplication::font());
        dc.setPen(ColorFromColorRef(kEmptyTextColour));
        dc.drawText(QRect(20, 20, 200, 980), Qt::TextWordWrap, ToDisplayText(kEmptyWorkspaceText));
        dc.restore();
    }

    CRenderPass pass(*this, *doc, dc, printing);
    // The first theme of the list lies on top, so the last is drawn first.
    const std::vector<CTheme*> themes = doc->m_themes;
    for (auto it = themes.rbegin(); it != themes.rend(); ++it) {
        if (!IsThemeVisibleInView(*it, this))
            continue;
        pass.DrawTheme(**it);
    }
    // Labels go the other way: the top theme places its labels first and
    // keeps them where they collide with those of themes below.
    std::vector<CDeviceRect> placed;
    for (CTheme* theme : themes)
        if (theme != nullptr)
            pass.DrawLabels(*theme, placed);
    dc.restore();
}

void CGeoView::DrawPrintLegend(QPainter& dc, CDeviceRect& rect) {
    CCorvaleDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    const bool portrait =
        m_printInfo != nullptr && m_printInfo->pageLayout().orientation() == QPageLayout::Portrait;
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font, dc.device());
    std::vector<CTheme*> shown;
    int widest = metrics.horizontalAdvance(QStringLiteral("Legend"));
    int tallest = metrics.height();
    for (CTheme* theme : doc->m_themes) {
        if (!IsThemeVisibleInView(theme, this))
            continue;
        shown.push_back(theme);
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(theme->m_Name)));
        tallest = std::max(tallest, metrics.height());
    }
    const int n = static_cast<int>(shown.size());
    const CPrintLegendLayout layout = ComputePrintLegendLayout(
        n, widest, tallest, rect.right - rect.left, rect.bottom - rect.top, portrait);
    if (layout.columns <= 0 || layout.rows <= 0)
        return;
    const int cw = layout.cellWidth;
    const int ch = layout.cellHeight;
    QRect legend;
    if (portrait) {
        legend =
            QRect(rect.left, rect.bottom - layout.rows * ch, layout.columns * cw, layout.rows * ch);
        rect.bottom -= layout.rows * ch;
    } else {
        legend = QRect(rect.right - layout.columns * cw, rect.top, layout.columns * cw,
                       layout.rows * ch);
        rect.right -= layout.columns * cw;
    }

    dc.save();
    dc.setFont(font);
    dc.setPen(QPen(QColor(0, 0, 0), 0));
    dc.setBrush(Qt::NoBrush);
    dc.drawRect(legend);
    for (int c = 1; c < layout.columns; ++c)
        dc.drawLine(legend.left() + c * cw, legend.top(), legend.left() + c * cw,
                    legend.top() + legend.height());
    for (int r = 1; r < layout.rows; ++r)
        dc.drawLine(legend.left(), legend.top() + r * ch, legend.left() + legend.width(),
                    legend.top() + r * ch);
    dc.setBackgroundMode(Qt::TransparentMode);
    for (int i = 0; i < n; ++i) {
        const CTheme& theme = *shown[static_cast<std::size_t>(i)];
        const int left = legend.left() + (i % layout.columns) * cw;
        const int top = legend.top() + (i / layout.columns) * ch;
        dc.save();
        if (theme.IsPointTheme()) {
            DrawPointSymbol(SymbolUnit{6.0, 6.0}, top + ch / 2 + 10, dc, left + ch / 2 + 20,
                            theme.m_PointSymbol, theme.m_Color);
        } else if (theme.IsArcTheme()) {
            dc.setPen(MakeStylePen(theme.m_PenStyle,
                                   std::int64_t(std::max(1, theme.m_LineWidth)) * kPrintWidthFactor,
                                   theme.m_Color));
            dc.drawLine(left + 20, top + ch / 2 + 10, left + ch, top + ch / 2 + 10);
        } else if (theme.IsPolygonTheme()) {
            dc.setPen(MakeStylePen(theme.m_PenStyle,
                                   std::int64_t(theme.m_LineWidth) * kPrintWidthFactor,
                                   theme.m_OutlineColor));
            dc.setBrush(GetPatternBrush(theme.m_FillPattern, ColorFromColorRef(theme.m_Color),
                                        QColor(Qt::transparent)));
            dc.drawRect(QRect(QPoint(left + 20, top + 10), QPoint(left + ch - 1, top + ch - 11)));
        }
        dc.restore();
        dc.setPen(QColor(0, 0, 0));
        dc.drawText(QPoint(left + 20 + ch, top + 10 + metrics.ascent()),
                    QString::fromStdString(theme.m_Name));
    }
    dc.restore();
    // The map never paints over the legend.
    const QRect page = dc.viewport();
    dc.setClipRegion(QRegion(page).subtracted(QRegion(legend)));
}
