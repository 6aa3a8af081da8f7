#include "view/MapRenderer.h"

#include "core/Theme.h"
#include "settings/AppSettings.h"
#include "view/GeoView.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

double GetUnitsPerPixel(const CMapViewport& viewport) {
    return std::fabs(viewport.maxX - viewport.minX) /
           (static_cast<double>(viewport.right) - viewport.left);
}

bool IsThemeVisibleInViewport(CTheme* theme, const CMapViewport& viewport) {
    if (theme == nullptr)
        return false;
    if (theme->m_ShapeType == SHT_Image) {
        const bool unload =
            CAppSettings::GetInstance()->m_UnloadHiddenRasters != 0 && !theme->m_Visible;
        theme->SetRasterLoaded(!unload);
    }
    if (!theme->m_Visible)
        return false;
    if (!theme->m_ScaleDependent)
        return true;
    const double upp = GetUnitsPerPixel(viewport);
    return theme->m_MinScale <= upp && upp <= theme->m_MaxScale;
}

bool IsThemeVisibleInView(CTheme* theme, const CGeoView* view) {
    if (theme == nullptr || view == nullptr)
        return false;
    return IsThemeVisibleInViewport(theme, view->m_viewport);
}

void DrawRasterTheme(CTheme* theme, const CMapViewport& viewport, QPainter& dc, bool smoothing) {
    if (theme == nullptr || !theme->m_Raster.HasDisplayBitmap())
        return;
    const CDevicePoint topLeft = MapToScreen(viewport, theme->m_Bounds[0], theme->m_Bounds[3]);
    const CDevicePoint bottomRight = MapToScreen(viewport, theme->m_Bounds[2], theme->m_Bounds[1]);
    const std::int64_t width = std::int64_t(bottomRight.x) - topLeft.x;
    const std::int64_t height = std::int64_t(bottomRight.y) - topLeft.y;
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX)
        return;

    dc.save();
    const CRasterTransformation& t = theme->m_Raster.m_Transformation;
    const std::vector<CShapePoint>& corners = theme->m_Raster.m_Corners;
    if ((t.GetB() != 0.0 || t.GetD() != 0.0) && corners.size() >= 4) {
        // The corner list is a closed ring: its closing point is left out.
        QPolygon outline;
        const std::size_t count = corners.front() == corners.back() && corners.size() > 4
                                      ? corners.size() - 1
                                      : corners.size();
        for (std::size_t i = 0; i < count; ++i) {
            const CDevicePoint p = MapToScreen(viewport, corners[i].x, corners[i].y);
            outline << QPoint(p.x, p.y);
        }
        dc.setClipRegion(QRegion(outline, Qt::WindingFill), Qt::IntersectClip);
    }
    dc.setRenderHint(QPainter::SmoothPixmapTransform, smoothing);
    const QImage& bitmap = theme->m_Raster.m_DisplayBitmap;
    dc.drawImage(QRect(topLeft.x, topLeft.y, static_cast<int>(width), static_cast<int>(height)),
                 bitmap, bitmap.rect());
    dc.restore();
}

CPrintLegendLayout ComputePrintLegendLayout(int n, int textWidth, int textHeight, int width,
                                            int height, bool portrait) {
    CPrintLegendLayout layout;
    if (n <= 0 || width <= 0 || height <= 0)
        return layout;
    layout.cellHeight = textHeight + 20;
    layout.cellWidth = textWidth + 40 + layout.cellHeight;
    if (layout.cellWidth <= 0 || layout.cellHeight <= 0)
        return CPrintLegendLayout();
    // The counts are computed in single precision, as the layout always was.
    if (portrait) {
        layout.columns = std::max(1, width / layout.cellWidth);
        layout.rows = static_cast<int>(
            std::ceil(static_cast<float>(layout.cellWidth) * n / static_cast<float>(width)));
    } else {
        layout.columns = static_cast<int>(
            std::ceil(static_cast<float>(layout.cellHeight) * n / static_cast<float>(height)));
        layout.columns = std::max(1, layout.columns);
        layout.rows = n / layout.columns;
    }
    layout.columns = std::min(layout.columns, n);
    // Every theme gets a cell: the counts above can come out one short.
    layout.rows = std::max(layout.rows, (n + layout.columns - 1) / layout.columns);
    layout.rows = std::min(layout.rows, n);
    return layout;
}
