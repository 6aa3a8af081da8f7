#pragma once
// The current mouse tool of a map, kept by the document. Tools come in pairs:
// the idle mode that a command sets, and the mode the view switches to while a
// button is held or a shape is being drawn.

#include <cstdint>

enum MapToolMode : std::uint32_t {
    MT_Select = 0,
    MT_SelectRectangle = 1,
    MT_SelectRectangleDrag = 2,
    MT_SelectCircle = 3,
    MT_SelectCircleDrag = 4,
    MT_Pan = 5,
    MT_PanDrag = 6,
    MT_ZoomIn = 7,
    MT_ZoomInDrag = 8,
    MT_ZoomOut = 9,
    MT_Measure = 10,
    MT_DrawNew = 11,
    MT_AdjustVertex = 12,
    MT_AdjustVertexDrag = 13,
    MT_NewVertex = 14,
    MT_NewVertexDrag = 15,
    MT_SelectPolygon = 16,
    MT_SelectPolygonDraw = 17,
    MT_SplitPolyline = 18,
    MT_SplitPolylineDrag = 19,
};
