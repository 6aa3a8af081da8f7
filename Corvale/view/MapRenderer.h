#pragma once
// Pieces of the map renderer that stand on their own: the visibility of a
// theme at the view's scale, the drawing of an image theme, and the layout
// of the legend block printed beside the map. CGeoView::RenderMap draws the
// whole map with them.

#include "view/MapViewport.h"

class CGeoView;
class CTheme;
class QPainter;

// Map units per pixel across the viewport: |maxX - minX| / (right - left).
// Infinite or NaN for a viewport without width.
double GetUnitsPerPixel(const CMapViewport& viewport);

// Whether the theme is drawn at the viewport's scale: not for a null or
// hidden theme; always for a theme that is not scale-dependent; else only
// when m_MinScale <= units per pixel <= m_MaxScale, both bounds inclusive.
// An image theme is first unloaded (hidden, with the setting
// UnloadHiddenRasters on) or loaded again (otherwise).
bool IsThemeVisibleInViewport(CTheme* theme, const CMapViewport& viewport);
// The same at the view's scale (its viewport of the last rendering).
bool IsThemeVisibleInView(CTheme* theme, const CGeoView* view);

// Stretches an image theme's display bitmap over the theme's bounds. A
// rotated image (its transformation has rotation terms) is clipped to the
// outline of its four corners, so the black corners of the north-up bitmap
// do not cover the map. The painter's clip is as before afterwards.
void DrawRasterTheme(CTheme* theme, const CMapViewport& viewport, QPainter& dc, bool smoothing);

// The grid of legend cells printed with the map: columns x rows cells of
// cellWidth x cellHeight pixels, filled row by row with the visible themes.
struct CPrintLegendLayout {
    int columns = 0;
    int rows = 0;
    int cellWidth = 0;
    int cellHeight = 0;
};

// For n themes whose widest text (a name or "Legend") is textWidth and
// tallest textHeight pixels, on a printable area of width x height pixels:
// cells are textHeight + 20 high and textWidth + 40 + cell height wide. In
// portrait the cells run across the foot of the page (as many columns as fit
// the width), in landscape down its right side (as many rows as fit the
// height). Rows and columns are at most n, and there are always enough cells
// for n themes. An empty layout (no cells) for n 0 or an empty area.
CPrintLegendLayout ComputePrintLegendLayout(int n, int textWidth, int textHeight, int width,
                                            int height, bool portrait);
