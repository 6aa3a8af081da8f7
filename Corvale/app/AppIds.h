#pragma once
// Ids of the main frame's commands, status-bar panes, toolbars and docking
// panes. The numbers are the ones toolbar state, plug-ins and scripts have
// always used, so they are kept.

enum AppCommandId : unsigned {
    // File.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    // The recent workspaces: entry n is FIRST + n.
    ID_FILE_MRU_FIRST = 57616,
    ID_FILE_MRU_LAST = 57631,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,

    // Edit.
    ID_EDIT_CLEAR = 57632,
    // Cut, Copy, Paste, Delete and the z-order commands are the document's
    // (workspace/CommandIds.h).
    ID_EDIT_FIND = 57636,

    // Window.
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,

    // Help.
    ID_CONTEXT_HELP = 57669,

    // View.
    ID_VIEW_TOOLBAR = 0xE800,
    ID_VIEW_STATUS_BAR = 0xE801,
    ID_VIEW_CUSTOMIZE = 126,
    ID_VIEW_FULLSCREEN = 32854,

    // Workspace and theme commands that sit on the toolbars.
    ID_WORKSPACE_PROPERTIES = 33000,
    ID_THEME_FILTER_SELECTION = 33015,
    ID_THEME_REMOVE_FILTER = 33016,
    ID_THEME_INVERT_FILTER = 32832,
    ID_EDIT_ENABLE_EDITING = 32841,
    ID_EDIT_SNAP_TO_GRID = 33009,
    ID_SCALE_CONTROL = 32985,

    // Script toolbar.
    ID_SCRIPT_CREATE_NEW = 32994,
    ID_USER_SCRIPT_FIRST = 32966,
    ID_USER_SCRIPT_LAST = 32971,

    // The menu of each user-script button: run, bind and edit its script.
    ID_USER_SCRIPT_INVOKE = 32975,
    ID_USER_SCRIPT_BIND = 32977,
    ID_USER_SCRIPT_EDIT = 32981,

    // Tools menu: the programs and scripts of the Tools folder (entry n is
    // FIRST + n), and the options, always its last item.
    ID_TOOLS_TOOL_FIRST = 20201,
    ID_TOOLS_TOOL_LAST = 20300,
    ID_TOOLS_OPTIONS = 32998,

    // Help menu: the documents of the Help folder (entry n is FIRST + n) and
    // the main help file.
    ID_HELP_DOCUMENT_FIRST = 20421,
    ID_HELP_DOCUMENT_LAST = 20520,
    ID_HELP_INDEX = 57666,

    // Plugin Commands: the menu of the loader of the current theme.
    ID_LOADER_MENU_FIRST = 20521,
    ID_LOADER_MENU_LAST = 20620,

    // Statistics toolbar: Min, Max, Sum, Arithmetic Mean, Geometric Mean,
    // Median, Standard Deviation.
    ID_STATISTICS_FIRST = 33030,
    ID_STATISTICS_LAST = 33036,
    // The statistics plug-ins listed in the Table menu, one id each.
    ID_STATISTICS_PLUGIN_FIRST = 20321,
    ID_STATISTICS_PLUGIN_LAST = 20420,

    // Visual styles (kept as numbers in the profile value "ApplicationLook").
    ID_VIEW_APPLOOK_FIRST = 205,
    ID_VIEW_APPLOOK_LAST = 219,
};

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
