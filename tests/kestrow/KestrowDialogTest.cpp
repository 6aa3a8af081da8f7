// The checker's window driven through Qt Test on the offscreen platform.

#include "KestrowDialog.h"

#include "OffscreenApplication.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const ::testing::Environment* const g_App =
    ::testing::AddGlobalTestEnvironment(new OffscreenApplication<QApplication>);

const QString kData = QStringLiteral(CORVALE_TEST_DATA "/kestrow/");

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
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            title = files->windowTitle();
            files->selectFile(kData + QStringLiteral("linez.shp"));
            // The name box keeps its text while it has the focus.
            files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(kData + QStringLiteral("linez.shp"));
            static_cast<QDialog*>(files)->accept();
        }
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("browse")), Qt::LeftButton);
    EXPECT_EQ(title, QStringLiteral("Select Shape File to Check"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("path"))->text(), kData + QStringLiteral("linez.shp"));
    auto* run = dialog.findChild<QPushButton*>(QStringLiteral("run"));
    ASSERT_TRUE(run->isEnabled());
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("report"))
                    ->toPlainText()
                    .contains(QStringLiteral("Shape type: 13 (PolyLineZ).\nNull shapes: 0 (no error)\nKestrow reported no errors.")));
}

} // namespace
