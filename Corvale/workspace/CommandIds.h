#pragma once
// Command ids of the workspace's menus and toolbars. The numbers are kept as
// they always were: toolbar state, plug-ins and scripts refer to them.

enum CommandId : unsigned {
    // Workspace.
    ID_WORKSPACE_SHOW_PROPERTIES = 33000,
    ID_WORKSPACE_TRANSFORM = 32870,

    // Map tools.
    ID_TOOL_SELECT = 32772,
    ID_TOOL_SELECT_RECTANGLE = 32798,
    ID_TOOL_SELECT_CIRCLE = 32800,
    ID_TOOL_SELECT_POLYGON = 32909,
    ID_TOOL_PAN = 32771,
    ID_TOOL_ZOOM_IN = 32777,
    ID_TOOL_ZOOM_OUT = 32786,
    ID_TOOL_MEASURE = 32801,
    ID_TOOL_DRAW_NEW = 32842,
    ID_TOOL_ADJUST_VERTEX = 32891,
    ID_TOOL_NEW_VERTEX = 32900,
    ID_TOOL_SPLIT_POLYLINE = 32986,
    ID_TOOL_VERTEX_MODE = 32862,
    ID_TOOL_BOUNDING_BOXES = 32939,

    // Edit.
    ID_EDIT_FIND_NEXT = 32830,
    ID_EDIT_FIND_PREVIOUS = 32831,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_DELETE = 32828,
    ID_EDIT_COPY_AS_GEOJSON = 33002,
    ID_EDIT_COPY_AS_WKT = 33003,
    ID_EDIT_MULTI_EDIT = 33011,
    ID_EDIT_TOP_Z_ORDER = 33013,
    ID_EDIT_BOTTOM_Z_ORDER = 33014,
    // The raw bytes of the one selected shape (the binary shape viewer).
    ID_EDIT_SHAPE_DATA = 32922,

    // Geometry commands on the active theme's selected shapes.
    ID_GEOMETRY_MERGE_TO_COPY = 33007,
    ID_GEOMETRY_SPLIT_TO_COPIES = 33008,
    ID_GEOMETRY_SIMPLIFY_PARTS = 33052,
    ID_GEOMETRY_REMOVE_DUPLICATE_VERTICES = 33055,
    ID_GEOMETRY_REVERSE_COORDINATES = 33010,
    ID_GEOMETRY_SNAP_TO_GRID = 33009,
    ID_GEOMETRY_AUTO_SNAP = 32894,
    // One polyline through the selected points, placed on the clipboard.
    ID_EDIT_CREATE_POLYLINE_ON_CLIPBOARD = 33012,

    // View and Theme: extent and zoom.
    ID_VIEW_ZOOM_FULL_EXTENT = 33019,
    ID_THEME_ZOOM_TO_THEME = 32793,
    ID_THEME_ZOOM_TO_SELECTION = 32840,
    ID_THEME_ZOOM_TO_MAKE_VISIBLE = 32979,
    ID_VIEW_CENTER_MAP = 33020,
    ID_VIEW_EDIT_VIEW_RECTANGLE = 33021,

    // Theme commands of the document, offered by the legend's menus.
    ID_THEME_REMOVE = 32783,
    ID_THEME_SHOW = 32784,
    ID_THEME_PROPERTIES = 32788,
    ID_THEME_HIDE_ALL = 32794,
    ID_THEME_SHOW_ALL = 32795,
    ID_THEME_ENABLE_EDITING = 32841,
    ID_THEME_ATTRIBUTE_MANAGER = 32843,
    ID_THEME_INFOTIPS = 32845,
    ID_THEME_COPY_STYLE_FROM = 33029,
    ID_THEME_NEW_POINTS = 32812,
    ID_THEME_NEW_POLYLINES = 32813,
    ID_THEME_NEW_POLYGONS = 32814,
    ID_THEME_NEW_FROM_SELECTION = 32815,
    ID_THEME_NEW_BOUNDING_BOXES = 33047,
    ID_THEME_END_POINTS = 32883,
    ID_THEME_MID_POINTS = 33025,
    ID_THEME_POLYGON_OUTLINE = 33026,
    ID_THEME_VORONOI_POLYGONS = 33027,
    ID_THEME_EXPORT = 32790,

    // Selection, filter and z-order of the active theme.
    ID_SELECTION_BUILD_ATTRIBUTE_LIST = 33017,
    ID_SELECTION_FILTER = 33015,
    ID_SELECTION_REMOVE_FILTER = 33016,
    ID_SELECTION_INVERT_FILTER = 32832,
    ID_SELECTION_INVERT = 32835,
    ID_SELECTION_SELECT_ALL = 57642,
    ID_SELECTION_CLEAR = 32860,
    ID_SELECTION_MULTIPART = 33004,
    ID_SELECTION_CLIPBOARD_POLYGONS = 33005,
    ID_SELECTION_BOUNDS = 33022,
    ID_SELECTION_POINT_COUNT = 33006,

    // The legend pane's own layer commands.
    ID_LAYER_INVERT_Z_ORDER = 32851,
    ID_LAYER_INVERT_SELECTION = 32951,
    ID_LAYER_SELECT_POINTS = 32953,
    ID_LAYER_SELECT_POLYLINES = 32954,
    ID_LAYER_SELECT_POLYGONS = 32955,
    ID_LAYER_SELECT_RASTERS = 32956,
    ID_LAYER_SELECT_VISIBLE = 32957,
    ID_LAYER_SELECT_ALL = 32958,

    // File: Save Map As Image(s), whose work the map view does.
    ID_FILE_SAVE_MAP_IMAGE = 32999,
    // Insert, Add Theme From: the loader plug-ins (entry n is FIRST + n).
    ID_ADD_FROM_DATA_SOURCE_FIRST = 20000,
    ID_ADD_FROM_DATA_SOURCE_LAST = 20100,

    // Insert: Add Theme, and the recent shape files (entry n is FIRST + n).
    ID_INSERT_ADD_THEME = 32773,
    ID_RECENT_SHAPE_FILE_FIRST = 20310,
    ID_RECENT_SHAPE_FILE_LAST = 20319,

    // Table: entries of statistics plug-ins.
    ID_TABLE_STATISTICS_FIRST = 20321,
    ID_TABLE_STATISTICS_LAST = 20420,

    // Find, Query and Go To: the attribute pane's dialogs, reached through
    // the document (Find is the Edit menu's standard id).
    ID_TABLE_FIND = 57636,
    ID_TABLE_QUERY = 32838,
    ID_TABLE_GO_TO = 32868,

    // The console and scripts: the console window and a new script from a
    // template.
    ID_VIEW_CONSOLE = 33024,
    ID_SCRIPT_FROM_TEMPLATE = 32994,

    // Column commands of the attribute pane, reached through the document:
    // Min, Max, Sum, Arithmetic Mean, Geometric Mean, Median, Standard
    // Deviation, then the sorts, the duplicate check and the value list.
    ID_COLUMN_STATISTICS_FIRST = 33030,
    ID_COLUMN_STATISTICS_LAST = 33036,
    ID_COLUMN_SORT_ASCENDING = 33037,
    ID_COLUMN_SORT_DESCENDING = 33038,
    ID_COLUMN_CHECK_DUPLICATES = 33039,
    ID_COLUMN_SHOW_VALUE_LIST = 33040,

    // Map view commands reached through the document.
    ID_MAP_VIEW_PRINT = 57607,
    ID_MAP_VIEW_PRINT_PREVIEW = 57609,
    ID_MAP_VIEW_OVERVIEW = 32923,
    ID_MAP_VIEW_SIGNATURE = 33023,
    ID_MAP_VIEW_COPY_IMAGE = 33001,
    // The raster tracing's thresholds.
    ID_VIEW_VECTORIZATION_PARAMETERS = 33018,
};

// The status-bar prompt of a command, with its tooltip after the line feed;
// null for an id without one.
const char* GetCommandPrompt(unsigned id);
