#pragma once
// A message box as narrow as its short text leaves the window manager no
// room for its title, which it then cuts in the middle ("Rou... ine"). A
// message box lays itself out again whenever it is shown, so it is widened
// through its own grid: a spacer in a row of its own, as wide as the title
// in a bold font of the box's size and the icon and buttons of a title bar.

#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

inline void FitMessageBoxToTitle(QMessageBox& box) {
    constexpr int kTitleBarChrome = 120;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    QFont bold = box.font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + kTitleBarChrome;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}
