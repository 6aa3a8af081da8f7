#include "GridPaneTestSupport.h"

#include "OffscreenApplication.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

} // namespace

CTheme* AddTableTheme(CCorvaleDoc& doc, const std::vector<std::pair<std::string, int>>& columns,
                      const std::vector<std::vector<std::string>>& rows, const std::string& name) {
    auto* theme = new CTheme;
    theme->m_Name = name;
    theme->m_ShapeType = SHT_Point;
    EXPECT_TRUE(theme->ConvertToNative(true, true));
    for (const auto& column : columns) {
        CAttributeFieldInfo info;
        info.m_Name = column.first;
        info.m_Type = column.second;
        info.m_Length = 20;
        theme->AddAttribute(info, nullptr, nullptr);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_NE(theme->AddPointAt(false, false, static_cast<double>(r), 2.0 * static_cast<double>(r)), nullptr);
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            EXPECT_TRUE(theme->SetAttributeText(static_cast<int>(r), static_cast<int>(c), rows[r][c], false));
    }
    theme->m_Modified = false;
    doc.m_themes.push_back(theme);
    doc.m_activeTheme = theme;
    doc.m_selectedThemes.assign(1, theme);
    return theme;
}

QPoint CellCentre(QTableView* grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    return grid->visualRect(index).center();
}

std::string ClipboardText() { return QApplication::clipboard()->text().toStdString(); }

void SetClipboardText(const std::string& text) { QApplication::clipboard()->setText(QString::fromStdString(text)); }

bool EditCellByKeys(QTableView* grid, int row, int column, const std::string& text) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, row, column));
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (editor == nullptr)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, QString::fromStdString(text));
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits the text from a queued call.
    QApplication::processEvents();
    return true;
}
