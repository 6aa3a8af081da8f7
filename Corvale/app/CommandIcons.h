#pragma once
// The pictures of the main frame's toolbar buttons and panes. A command
// with a fitting icon in the desktop's icon theme takes that one; every other
// picture is drawn here, so that each button looks like what it does and no
// two look alike.

#include <QIcon>

// The icon of a toolbar command; a null icon for a command without one.
QIcon MakeCommandIcon(unsigned id);
// The drawn picture of a command alone, never the theme's (tests compare
// them).
QIcon MakeDrawnCommandIcon(unsigned id);
// The small icons of the status-bar panes (scale, x, y) and the docking
// panes (their pane ids); null for another id.
QIcon MakePaneIcon(int id);
