// The checker's window driven through Qt Test on the offscreen platform.

#include "KestrowDialog.h"

#include "OffscreenApplication.h"
#include "TempDir.h"
#include "filedialog/RecentDirFileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The checker keeps its recent folders in a settings file under
// XDG_CONFIG_HOME, which QSettings reads once, when the first store is made:
// it points at a scratch folder from static initialisation on.
const std::string& ConfigHome() {
    static const struct Home {
        Home() { ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1); }
        TempDir dir;
    } home;
    return home.dir.path();
}
const std::string& g_ConfigHomeSetEarly = ConfigHome();

const ::testing::Environment* const g_App =
    ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

const QString kData = QStringLiteral(CORVALE_TEST_DATA "/kestrow/");

// What a file dialog showed, read by AnswerFileDialog.
struct FileDialogSeen {
    bool recentDirDialog = false;
    QString title;
    QStringList filters;
    QString folder;
    QString recentLabel;
    QStringList recent;
};

// Answers the file dialog that comes up next: notes what it shows, then
// chooses the file, or cancels when the file is empty.
void AnswerFileDialog(const QString& file, FileDialogSeen& seen) {
    QTimer::singleShot(0, [file, &seen] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(files, nullptr) << "no file dialog came up";
        seen.title = files->windowTitle();
        seen.filters = files->nameFilters();
        seen.folder = files->directory().absolutePath() + QLatin1Char('/');
        auto* recent = dynamic_cast<CRecentDirFileDialog*>(files);
        seen.recentDirDialog = recent != nullptr;
        if (recent != nullptr) {
            for (int i = 0; i < recent->RecentCombo()->count(); ++i)
                seen.recent.append(recent->RecentCombo()->itemText(i));
            if (auto* label = recent->findChild<QLabel*>(QString::number(CRecentDirFileDialog::kLabelId)))
                seen.recentLabel = label->isVisible() ? label->text() : QString();
        }
        if (file.isEmpty()) {
            files->reject();
            return;
        }
        files->selectFile(file);
        // The name box keeps its text while it has the focus.
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog*>(files)->accept();
    });
}

TEST(KestrowDialog, RunFollowsThePathAndShowsTheReport) {
    CKestrowDialog dialog;
    auto* path = dialog.findChild<QLineEdit*>(QStringLiteral("path"));
    auto* run = dialog.findChild<QPushButton*>(QStringLiteral("run"));
    auto* report = dialog.findChild<QPlainTextEdit*>(QStringLiteral("report"));
    auto* progress = dialog.findChild<QProgressBar*>(QStringLiteral("progress"));
    ASSERT_TRUE(path && run && report && progress);
    EXPECT_FALSE(run->isEnabled());
    QTest::keyClicks(path, kData + QStringLiteral("polygon.shp"));
    EXPECT_TRUE(run->isEnabled());

    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_TRUE(report->toPlainText().endsWith(QStringLiteral("\nKestrow reported no errors.")));
    EXPECT_FALSE(report->toPlainText().contains(QLatin1Char('\r')));
    EXPECT_EQ(progress->value(), 100);
    EXPECT_TRUE(run->isEnabled());

    path->clear();
    EXPECT_FALSE(run->isEnabled());
}

TEST(KestrowDialog, FailedCheckShowsTheMessage) {
    CKestrowDialog dialog;
    dialog.findChild<QLineEdit*>(QStringLiteral("path"))->setText(kData + QStringLiteral("missing.shp"));
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    EXPECT_FALSE(dialog.Run());
    EXPECT_EQ(shown, QStringLiteral("Kestrow reported errors."));
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("report"))
                    ->toPlainText()
                    .endsWith(QStringLiteral("Error opening shape main file.")));
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("browse"))->isEnabled());
}

TEST(KestrowDialog, DamagedCopyShowsEachFaultWithItsRecord) {
    CKestrowDialog dialog;
    dialog.findChild<QLineEdit*>(QStringLiteral("path"))->setText(kData + QStringLiteral("damaged/three_faults.shp"));
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    EXPECT_FALSE(dialog.Run());
    const QString text = dialog.findChild<QPlainTextEdit*>(QStringLiteral("report"))->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("\nRecord 2: content length 448 bytes in the main file; the index and "
                                             "its counts give 464.\nRecord 4, part 2: ring not closed.\nIndex entry "
                                             "6: offset 2796 does not point at the next record, which starts at byte "
                                             "2836.\nNull shapes: 0 (no error)\n")))
        << text.toStdString();
    EXPECT_EQ(dialog.findChild<QProgressBar*>(QStringLiteral("progress"))->value(), 100);
}

TEST(KestrowDialog, LabelsSitBesideTheirControlsAndCloseEndsTheDialog) {
    CKestrowDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* progress = dialog.findChild<QProgressBar*>(QStringLiteral("progress"));
    auto* report = dialog.findChild<QPlainTextEdit*>(QStringLiteral("report"));
    auto* progressLabel = dialog.findChild<QLabel*>(QStringLiteral("progressLabel"));
    auto* resultLabel = dialog.findChild<QLabel*>(QStringLiteral("resultLabel"));
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("close"));
    ASSERT_TRUE(progress && report && progressLabel && resultLabel && close);
    EXPECT_EQ(progressLabel->text(), QStringLiteral("Progress"));
    EXPECT_EQ(resultLabel->text(), QStringLiteral("Result:"));
    EXPECT_EQ(close->text(), QStringLiteral("Close"));
    EXPECT_TRUE(progressLabel->isVisible() && resultLabel->isVisible() && close->isVisible() && close->isEnabled());
    // "Progress" on the bar's row, to its left; "Result:" above the report.
    EXPECT_LT(progressLabel->geometry().right(), progress->geometry().left());
    EXPECT_GE(progressLabel->geometry().bottom(), progress->geometry().top());
    EXPECT_LE(progressLabel->geometry().top(), progress->geometry().bottom());
    EXPECT_LT(resultLabel->geometry().bottom(), report->geometry().top());
    EXPECT_GT(resultLabel->geometry().top(), progress->geometry().bottom());
    // The button shows its text on screen: its rendered face has dark text pixels.
    const QImage face = close->grab().toImage();
    int dark = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            dark += qGray(face.pixel(x, y)) < 96 ? 1 : 0;
    EXPECT_GT(dark, 10);

    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(KestrowDialog, BrowseChoosesTheFileToCheck) {
    CKestrowDialog dialog;
    FileDialogSeen seen;
    AnswerFileDialog(kData + QStringLiteral("linez.shp"), seen);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("browse")), Qt::LeftButton);
    EXPECT_TRUE(seen.recentDirDialog);
    EXPECT_EQ(seen.title, QStringLiteral("Select Shape File to Check"));
    EXPECT_EQ(seen.filters, QStringList({QStringLiteral("Shape Files (*.shp)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(seen.recentLabel, QStringLiteral("Recent dir:"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("path"))->text(), kData + QStringLiteral("linez.shp"));
    auto* run = dialog.findChild<QPushButton*>(QStringLiteral("run"));
    ASSERT_TRUE(run->isEnabled());
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("report"))
                    ->toPlainText()
                    .contains(QStringLiteral("Shape type: 13 (PolyLineZ).\nNull shapes: 0 (no error)\nKestrow reported no errors.")));
}

// The folder of a chosen file is written at once to the checker's own
// settings file, never to the main program's, and the next dialog, of this
// window or of a new one, lists it and starts there.
TEST(KestrowDialog, ChosenFolderIsKeptInKestrowsOwnSettings) {
    const QString home = QString::fromStdString(ConfigHome());
    const QString ownFile = home + QStringLiteral("/Kestrow/Kestrow.ini");
    OpenKestrowSettings()->remove(QStringLiteral("RDFDDirectories"));
    TempDir scratch;
    const QString other = QString::fromStdString(scratch.path()) + QLatin1Char('/');
    QFile(other + QStringLiteral("other.shp")).open(QIODevice::WriteOnly);
    const QString data = QDir::cleanPath(kData) + QLatin1Char('/');

    {
        CKestrowDialog first;
        FileDialogSeen seen;
        AnswerFileDialog(kData + QStringLiteral("polygon.shp"), seen);
        QTest::mouseClick(first.findChild<QPushButton*>(QStringLiteral("browse")), Qt::LeftButton);
        EXPECT_EQ(seen.recent, QStringList());
        // A second choice in the same window goes on top of the first.
        first.findChild<QLineEdit*>(QStringLiteral("path"))->clear();
        FileDialogSeen again;
        AnswerFileDialog(other + QStringLiteral("other.shp"), again);
        QTest::mouseClick(first.findChild<QPushButton*>(QStringLiteral("browse")), Qt::LeftButton);
        EXPECT_EQ(again.recent, QStringList({data}));
        EXPECT_EQ(first.findChild<QLineEdit*>(QStringLiteral("path"))->text(), other + QStringLiteral("other.shp"));
    }

    // On disk in the program's own file, in the section and values the
    // file dialog keeps everywhere.
    QFile stored(ownFile);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << ownFile.toStdString();
    const QString text = QString::fromUtf8(stored.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[RDFDDirectories]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("RDFDDir1=") + other)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("RDFDDir2=") + data)) << text.toStdString();
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/Corvale/Corvale2.ini")));

    // A new window: the list is there, the dialog starts in the most recent
    // folder, and cancelling leaves the path empty.
    CKestrowDialog next;
    FileDialogSeen seen;
    AnswerFileDialog(QString(), seen);
    QTest::mouseClick(next.findChild<QPushButton*>(QStringLiteral("browse")), Qt::LeftButton);
    EXPECT_EQ(seen.recent, QStringList({other, data}));
    EXPECT_EQ(seen.folder, other);
    EXPECT_TRUE(next.findChild<QLineEdit*>(QStringLiteral("path"))->text().isEmpty());
    EXPECT_FALSE(next.findChild<QPushButton*>(QStringLiteral("run"))->isEnabled());
}

TEST(KestrowDialog, AboutBoxShowsTheVersion) {
    CKestrowDialog dialog;
    auto* about = dialog.findChild<QPushButton*>(QStringLiteral("about"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isEnabled());
    QString caption;
    QStringList texts;
    bool closedByOk = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no About box came up";
        caption = box->windowTitle();
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                texts.append(label->text());
        auto* icon = box->findChild<QLabel*>(QStringLiteral("icon"));
        EXPECT_TRUE(icon != nullptr && !icon->pixmap().isNull());
        auto* ok = box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
        closedByOk = !box->isVisible() && box->result() == QDialog::Accepted;
        if (box->isVisible())
            box->reject();
    });
    QTest::mouseClick(about, Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("About Kestrow"));
    ASSERT_EQ(texts.size(), 2) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts[0], QStringLiteral("Version 0.2.00"));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Copyright (C) "))) << texts[1].toStdString();
    EXPECT_TRUE(closedByOk);
}

} // namespace
