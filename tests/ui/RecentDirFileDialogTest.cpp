// The recent-folder list and the file dialog that keeps it: order, limit and
// stored form of the list; choosing, cancelling and moving to a recent folder
// in the real dialog.

#include "StyleControlsTestSupport.h"
#include "TempDir.h"
#include "UiTestSupport.h"

#include "settings/Registry.h"
#include "filedialog/RecentDirFileDialog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

QStringList Folders(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names)
        list.append(QString::fromLatin1(name));
    return list;
}

// The stored list, straight from the settings store.
QStringList StoredList() {
    auto settings = corvale::OpenRegistry();
    CRecentDirList list;
    list.Read(*settings);
    return list.Entries();
}

void StoreList(const QStringList& folders) {
    auto settings = corvale::OpenRegistry();
    settings->remove(QStringLiteral("RDFDDirectories"));
    CRecentDirList list;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        list.Add(*it);
    list.Write(*settings);
}

TEST(RecentDirList, AddOrderAndLimit) {
    CRecentDirList list;
    for (const char* folder : {"/a", "/b/", "/c"})
        list.Add(QString::fromLatin1(folder));
    EXPECT_EQ(list.Entries(), Folders({"/c/", "/b/", "/a/"}));
    // Already third: to the top, once.
    list.Add(QStringLiteral("/a"));
    EXPECT_EQ(list.Entries(), Folders({"/a/", "/c/", "/b/"}));
    // With and without the separator, and written untidily, it is one folder.
    list.Add(QStringLiteral("/c/"));
    list.Add(QStringLiteral("/c/./"));
    EXPECT_EQ(list.Entries(), Folders({"/c/", "/a/", "/b/"}));
    // Names that differ by case are different folders here.
    list.Add(QStringLiteral("/A"));
    EXPECT_EQ(list.Entries(), Folders({"/A/", "/c/", "/a/", "/b/"}));
    list.Add(QString());
    EXPECT_EQ(list.Entries().size(), 4);
}

TEST(RecentDirList, SixteenthFolderPushesOutTheOldest) {
    CRecentDirList list;
    for (int i = 1; i <= 16; ++i)
        list.Add(QStringLiteral("/d%1").arg(i));
    ASSERT_EQ(list.Entries().size(), 15);
    EXPECT_EQ(list.Entries().front(), "/d16/");
    // The fifteenth place holds the former fourteenth; /d1 is gone.
    EXPECT_EQ(list.Entries().back(), "/d2/");
    EXPECT_FALSE(list.Entries().contains(QStringLiteral("/d1/")));
}

TEST(RecentDirList, StoredForm) {
    auto settings = corvale::OpenRegistry();
    settings->remove(QStringLiteral("RDFDDirectories"));
    settings->beginGroup(QStringLiteral("RDFDDirectories"));
    settings->setValue(QStringLiteral("RDFDDir1"), QStringLiteral("/one/"));
    settings->setValue(QStringLiteral("RDFDDir2"), QString());
    settings->setValue(QStringLiteral("RDFDDir3"), QStringLiteral("/three/"));
    settings->setValue(QStringLiteral("RDFDDir16"), QStringLiteral("/beyond/"));
    settings->endGroup();
    CRecentDirList list;
    list.Read(*settings);
    // Empty values are skipped; nothing past the fifteenth is read.
    EXPECT_EQ(list.Entries(), Folders({"/one/", "/three/"}));
    list.Add(QStringLiteral("/new"));
    list.Write(*settings);
    settings->beginGroup(QStringLiteral("RDFDDirectories"));
    EXPECT_EQ(settings->value(QStringLiteral("RDFDDir1")).toString(), "/new/");
    EXPECT_EQ(settings->value(QStringLiteral("RDFDDir2")).toString(), "/one/");
    EXPECT_EQ(settings->value(QStringLiteral("RDFDDir3")).toString(), "/three/");
    EXPECT_FALSE(settings->contains(QStringLiteral("RDFDDir4")));
    settings->endGroup();
}

class RecentDirFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"one", "two"}) {
            const QString folder = QString::fromStdString(m_Dir.file(name));
            QDir().mkpath(folder);
            std::ofstream(m_Dir.file(std::string(name) + "/data.shp")) << "x";
        }
        m_One = QString::fromStdString(m_Dir.file("one")) + "/";
        m_Two = QString::fromStdString(m_Dir.file("two")) + "/";
        StoreList({"/earlier/", m_Two});
    }

    static QLineEdit* NameField(QWidget* dialog) { return dialog->findChild<QLineEdit*>("fileNameEdit"); }

    TempDir m_Dir;
    QString m_One;
    QString m_Two;
};

TEST_F(RecentDirFileDialogTest, ChosenFileMovesItsFolderToTheTop) {
    CRecentDirFileDialog dialog(true, QString(), QString(), {"Shape files (*.shp)", "All files (*)"});
    QStringList shown;
    QString label;
    WhenModal([&](QWidget* modal) {
        auto* combo = Control<QComboBox>(modal, CRecentDirFileDialog::kComboId);
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->count(); ++i)
            shown.append(combo->itemText(i));
        label = Control<QLabel>(modal, CRecentDirFileDialog::kLabelId)->text();
        // The combo lines up with the file name field.
        EXPECT_EQ(combo->geometry().left(), NameField(modal)->geometry().left());
        // The size, kind and date columns are as wide as what they show.
        auto* details = modal->findChild<QTreeView*>("treeView");
        ASSERT_NE(details, nullptr);
        for (int column = 1; column < details->header()->count(); ++column)
            EXPECT_EQ(details->header()->sectionResizeMode(column), QHeaderView::ResizeToContents) << column;
        NameField(modal)->setText(m_One + "data.shp");
        static_cast<QDialog*>(modal)->accept();
    });
    EXPECT_EQ(dialog.DoModal(), CFileDialogEx::IDOK);
    EXPECT_EQ(dialog.GetPathName(), m_One + "data.shp");
    EXPECT_EQ(shown, QStringList({"/earlier/", m_Two}));
    EXPECT_EQ(label, "Recent dir:");
    EXPECT_EQ(StoredList(), QStringList({m_One, "/earlier/", m_Two}));
}

TEST_F(RecentDirFileDialogTest, CancelLeavesTheListAndKeepsTheFilter) {
    CRecentDirFileDialog dialog(true, QString(), QString(), {"Shape files (*.shp)", "All files (*)"});
    EXPECT_EQ(dialog.GetFilterIndex(), 1);
    WhenModal([](QWidget* modal) {
        auto* fileDialog = static_cast<QFileDialog*>(modal);
        fileDialog->selectNameFilter("All files (*)");
        fileDialog->reject();
    });
    EXPECT_EQ(dialog.DoModal(), CFileDialogEx::IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), QString());
    EXPECT_EQ(dialog.GetFilterIndex(), 2);
    EXPECT_EQ(StoredList(), QStringList({"/earlier/", m_Two}));
    // The next run starts with that filter.
    QString filterAtStart;
    WhenModal([&](QWidget* modal) {
        filterAtStart = static_cast<QFileDialog*>(modal)->selectedNameFilter();
        static_cast<QDialog*>(modal)->reject();
    });
    dialog.DoModal();
    EXPECT_EQ(filterAtStart, "All files (*)");
}

TEST_F(RecentDirFileDialogTest, PickingARecentFolderKeepsTheTypedName) {
    CRecentDirFileDialog dialog(false, "shp", QString(), {"Shape files (*.shp)"});
    QString directory;
    QString typed;
    WhenModal([&](QWidget* modal) {
        auto* combo = Control<QComboBox>(modal, CRecentDirFileDialog::kComboId);
        NameField(modal)->setText("new");
        emit combo->activated(1);
        directory = static_cast<QFileDialog*>(modal)->directory().absolutePath() + "/";
        typed = NameField(modal)->text();
        static_cast<QDialog*>(modal)->accept();
    });
    EXPECT_EQ(dialog.DoModal(), CFileDialogEx::IDOK);
    EXPECT_EQ(directory, m_Two);
    EXPECT_EQ(typed, "new");
    // Saved with the default extension, in the recent folder, which goes to the top.
    EXPECT_EQ(dialog.GetPathName(), m_Two + "new.shp");
    EXPECT_EQ(StoredList(), QStringList({m_Two, "/earlier/"}));
}

// A dialog opens where files of its kind were chosen last, before it is
// shown: the most recent folder holding such a file, else the most recent
// folder there is; the caller's own folder still wins.
TEST_F(RecentDirFileDialogTest, StartsInTheRecentFolderOfItsKindOfFile) {
    std::ofstream(m_Dir.file("one/notes.txt")) << "x";
    const QString gone = QString::fromStdString(m_Dir.file("gone")) + "/";
    StoreList({gone, m_One, m_Two});
    std::remove(m_Dir.file("one/data.shp").c_str());
    struct Case {
        const char* name;
        QStringList filters;
        QString expected;
    };
    const Case cases[] = {
        {"shape files", {"Shape files (*.shp)", "All files (*)"}, m_Two},
        {"text files", {"Text (*.txt *.csv)"}, m_One},
        {"no file of the kind anywhere", {"Workspaces (*.cvw)"}, m_One},
        {"any file", {"All files (*.*)"}, m_One},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecentDirFileDialog dialog(true, QString(), QString(), c.filters);
        EXPECT_EQ(dialog.directory().absolutePath() + "/", c.expected);
    }
    // A name with a folder of its own, and a folder set by the caller, win.
    const QString own = QString::fromStdString(m_Dir.path());
    CRecentDirFileDialog named(false, "shp", own + "/out.shp", {"Shape files (*.shp)"});
    EXPECT_EQ(named.directory().absolutePath(), own);
    CRecentDirFileDialog told(true, QString(), QString(), {"Shape files (*.shp)"});
    told.setDirectory(own);
    EXPECT_EQ(told.directory().absolutePath(), own);
    // Without a recent folder the dialog keeps Qt's own start.
    EXPECT_EQ(CRecentDirFileDialog::StartFolder({gone}, {"Shape files (*.shp)"}), QString());
}

TEST_F(RecentDirFileDialogTest, SecondRunAnswersOnlyItsOwnName) {
    CRecentDirFileDialog dialog(false, QString(), QString(), {});
    WhenModal([&](QWidget* modal) {
        NameField(modal)->setText(m_One + "a-much-longer-name.txt");
        static_cast<QDialog*>(modal)->accept();
    });
    ASSERT_EQ(dialog.DoModal(), CFileDialogEx::IDOK);
    WhenModal([&](QWidget* modal) {
        NameField(modal)->setText(m_One + "b.txt");
        static_cast<QDialog*>(modal)->accept();
    });
    ASSERT_EQ(dialog.DoModal(), CFileDialogEx::IDOK);
    EXPECT_EQ(dialog.GetPathName(), m_One + "b.txt");
    WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(dialog.DoModal(), CFileDialogEx::IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), QString());
}

}  // namespace
