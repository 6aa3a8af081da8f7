#pragma once
// The program's file dialog with the recent folders, reached here among the
// other dialogs. It is built below them, in filedialog/, because the
// stand-alone shape-file checker shows it too and links nothing else of ui.

#include "filedialog/RecentDirFileDialog.h"
