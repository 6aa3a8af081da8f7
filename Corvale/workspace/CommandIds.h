#pragma once
// Command ids of the workspace's menus and toolbars. The numbers are kept as
// they always were: toolbar state, plug-ins and scripts refer to them.

enum CommandId : unsigned {
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

    // View and Theme: extent and zoom.
    ID_VIEW_ZOOM_FULL_EXTENT = 33019,
    ID_THEME_ZOOM_TO_THEME = 32793,
    ID_THEME_ZOOM_TO_SELECTION = 32840,
    ID_THEME_ZOOM_TO_MAKE_VISIBLE = 32979,
    ID_VIEW_CENTER_MAP = 33020,
    ID_VIEW_EDIT_VIEW_RECTANGLE = 33021,

    // Insert: Add Theme, and the recent shape files (entry n is FIRST + n).
    ID_INSERT_ADD_THEME = 32773,
    ID_RECENT_SHAPE_FILE_FIRST = 20310,
    ID_RECENT_SHAPE_FILE_LAST = 20319,

    // Table: entries of statistics plug-ins.
    ID_TABLE_STATISTICS_FIRST = 20321,
    ID_TABLE_STATISTICS_LAST = 20420,
};

// The status-bar prompt of a command, with its tooltip after the line feed;
// null for an id without one.
const char* GetCommandPrompt(unsigned id);
