// The checker's window driven through Qt Test on the offscreen platform.

#include "KestrowDialog.h"

#include "OffscreenApplication.h"

#include <QApplication>
#include <QFileDialog>
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

TEST(KestrowDialog, BrowseChoosesTheFileToCheck) {
    CKestrowDialog dialog;
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            title = files->windowTitle();
            files->selectFile(kData + QStringLiteral("linez.shp"));
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
