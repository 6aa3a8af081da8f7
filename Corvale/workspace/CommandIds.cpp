#include "workspace/CommandIds.h"

namespace {

struct Prompt {
    unsigned id;
    const char* text;
};

const Prompt kPrompts[] = {
    {ID_TOOL_SELECT, "Select\nSelect"},
    {ID_TOOL_SELECT_RECTANGLE, "Select by drawing a rectangle\nSelect"},
    {ID_TOOL_SELECT_CIRCLE, "Select by drawing a circle\nSelect"},
    {ID_TOOL_SELECT_POLYGON, "Select by drawing a polygon\nSelect"},
    {ID_TOOL_PAN, "Pan area by dragging the map\nPan"},
    {ID_TOOL_ZOOM_IN, "Zoom in by drawing a rectangle in the map\nZoom In"},
    {ID_TOOL_ZOOM_OUT, "Zoom out a fixed amout by clicking in the map. The new extent will be "
                       "centered around the position.\nZoom Out"},
    {ID_TOOL_MEASURE, "Measure distances\nMeasure"},
    {ID_TOOL_DRAW_NEW, "Draw new shapes\nDraw New"},
    {ID_TOOL_ADJUST_VERTEX, "Adjust vertex\nAdjust Vertex"},
    {ID_TOOL_NEW_VERTEX, "Insert a new vertex on a line\nNew Vertex"},
    {ID_TOOL_SPLIT_POLYLINE, "Split selected polyline\nSplit Polyline"},
    {ID_TOOL_VERTEX_MODE, "Enables/disables detailed vertecies\nVertex Mode"},
    {ID_TOOL_BOUNDING_BOXES, "Show bounding boxes\nBounding Boxes"},
    {ID_WORKSPACE_TRANSFORM, "Transform theme coordinate system\nTransform Theme"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_EDIT_DELETE, "Delete selected objects\nDelete"},
    {ID_EDIT_COPY_AS_GEOJSON, "Copy the selection as GeoJSON text\nCopy as GeoJSON"},
    {ID_EDIT_COPY_AS_WKT, "Copy the selection as WKT text\nCopy as WKT"},
    {ID_EDIT_MULTI_EDIT, "Set an attribute of all selected objects\nMulti-Edit Attributes"},
    {ID_GEOMETRY_MERGE_TO_COPY, "Merge selected shapes and store as a new shape leaving the "
                                "original ones intact\nMerge to Copy"},
    {ID_GEOMETRY_SPLIT_TO_COPIES,
     "Split selected multipart shapes and store as a new singlepart shapes leaving the "
     "original one intact\nSplit to Copies"},
    {ID_GEOMETRY_SIMPLIFY_PARTS, "Reduces the number of parts in selected polylines if two "
                                 "adjacent parts are connected\nSimplify Parts"},
    {ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES,
     "Removes consecutive duplicate vertices from selected polylines or polygons"},
    {ID_GEOMETRY_REVERSE_COORDINATES,
     "Reverse all coordinates for each selected shape\nReverse Coordinates"},
    {ID_GEOMETRY_SNAP_TO_GRID, "Snap selected shape coordinates to grid\nSnap to Grid"},
    {ID_GEOMETRY_AUTO_SNAP, "Autosnap freehand editing to grid\nSnap to Grid"},
    {ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD,
     "Create a polyline from selected points and place result on clipboard\nCreate Polyline"},
    {ID_THEME_END_POINTS,
     "Create new layer containing end point nodes of current polyline theme\nEnd Points"},
    {ID_THEME_MID_POINTS, "Create new layer containing mid points of current polyline theme\nMid Points"},
    {ID_THEME_POLYGON_OUTLINE, "Create new layer containing outlines of current polygon theme\nOutline"},
    {ID_EDIT_TOP_Z_ORDER, "Move selected objects to top z-order\nTop Z-Order"},
    {ID_EDIT_BOTTOM_Z_ORDER, "Move selected objects to bottom z-order\nBottom Z-Order"},
    {ID_THEME_EXPORT, "Export current theme\nExport theme"},
    {ID_THEME_VORONOI_POLYGONS,
     "Create new layer containing the Voronoi polygons of current point layer\nVoronoi Polygons"},
    {ID_VIEW_CONSOLE, "Show the workspace's console\nConsole"},
    {ID_SCRIPT_FROM_TEMPLATE, "Create a new script from a template\nCreate New"},
};

// Every recent shape file shares one prompt.
const char* const kRecentShapeFilePrompt = "Load this shape file\nLoad File";

} // namespace

const char* GetCommandPrompt(unsigned id) {
    if (id >= ID_RECENT_SHAPE_FILE_FIRST && id <= ID_RECENT_SHAPE_FILE_LAST)
        return kRecentShapeFilePrompt;
    for (const Prompt& p : kPrompts)
        if (p.id == id)
            return p.text;
    return nullptr;
}
