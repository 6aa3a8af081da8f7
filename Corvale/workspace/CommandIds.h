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

    // Table: entries of statistics plug-ins.
    ID_TABLE_STATISTICS_FIRST = 20321,
    ID_TABLE_STATISTICS_LAST = 20420,
};

// The status-bar prompt of a command, with its tooltip after the line feed;
// null for an id without one.
const char* GetCommandPrompt(unsigned id);
