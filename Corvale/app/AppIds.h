#pragma once
// Ids of the main frame's status-bar panes, toolbars and docking panes. The
// numbers are the ones toolbar state, plug-ins and scripts have always used,
// so they are kept. The commands' ids are in workspace/CommandIds.h.

#include "workspace/CommandIds.h"

// Status-bar panes, by id.
enum StatusPaneId : int {
    ID_INDICATOR_SCALE = 1133,
    ID_INDICATOR_X = 0xF009,
    ID_INDICATOR_Y = 0xF008,
    ID_INDICATOR_REFSYS = 1130,
    // Panes handed out to plug-ins.
    ID_INDICATOR_PLUGIN_FIRST = 22000,
    ID_INDICATOR_PLUGIN_HANDED_OUT_LAST = 22003,
    ID_INDICATOR_PLUGIN_LAST = 22009,
};

// Toolbar control ids.
enum ToolbarId : int {
    IDR_MAINFRAME = 128,
    IDR_SCRIPT_TOOLBAR = 1235,
    IDR_EDIT_TOOLBAR = 1203,
    IDR_STATISTICS_TOOLBAR = 1154,
};

// Docking pane control ids.
enum PaneId : int {
    ID_PANE_BOOKMARKS = 101,
    ID_PANE_ATTRIBUTES = 102,
    ID_PANE_THEMES = 103,
    ID_PANE_COORDINATES = 104,
    ID_PANE_STATISTICS = 105,
};
