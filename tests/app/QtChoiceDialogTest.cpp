// The Qt side of the user-interface seam's button dialog, colour picker and
// folder chooser: the keys and buttons that end them, and what each answers.

#include "app/QtUserInterface.h"
#include "ui/YABFFW.h"

#include "TempDir.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Acts on the modal dialog once it is shown; false when none came.
void WhenShown(std::function<void(QDialog*)> act, bool* shown) {
    QTimer::singleShot(0, [act, shown] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        *shown = dialog != nullptr;
        if (dialog != nullptr)
            act(dialog);
    });
}

TEST(QtChoiceDialog, ShowsThePromptAndOneButtonPerChoice) {
    std::unique_ptr<QDialog> dialog(CreateChoiceDialog(nullptr, QStringLiteral("Corvale: JavaScript"),
                                                       QStringLiteral("Which one?"),
                                                       {QStringLiteral("Roads"), QStringLiteral("Rivers and lakes")}));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Corvale: JavaScript"));
    auto* prompt = dialog->findChild<QLabel*>(QStringLiteral("prompt"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(), QStringLiteral("Which one?"));
    const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    auto* first = dialog->findChild<QPushButton*>(QStringLiteral("choice0"));
    auto* second = dialog->findChild<QPushButton*>(QStringLiteral("choice1"));
    ASSERT_TRUE(first != nullptr && second != nullptr);
    EXPECT_EQ(second->text(), QStringLiteral("Rivers and lakes"));
    EXPECT_TRUE(first->isDefault());
    // The buttons are equally wide, wide enough for the longest text.
    EXPECT_EQ(first->minimumWidth(), second->minimumWidth());
    EXPECT_GE(first->minimumWidth(), second->fontMetrics().horizontalAdvance(second->text()));
}

TEST(QtChoiceDialog, AnswersTheButtonPressedOrNoneWhenDismissed) {
    CQtUserInterface ui;
    const std::vector<std::string> choices = {"Roads", "Rivers", "Lakes"};
    struct Case {
        const char* name;
        std::function<void(QDialog*)> act;
        int expected;
    };
    const Case cases[] = {
        {"Enter picks the first", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Return); }, 0},
        {"a click picks its button",
         [](QDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("choice2")), Qt::LeftButton); },
         2},
        {"Escape picks none", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, -1},
        {"the close box picks none", [](QDialog* d) { d->close(); }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool shown = false;
        WhenShown(c.act, &shown);
        EXPECT_EQ(ui.AskChoice("Corvale: JavaScript", "Which?", choices), c.expected);
        EXPECT_TRUE(shown);
    }
}

TEST(QtChoiceDialog, OpensWhereTheLastOneWasClosed) {
    CQtUserInterface ui;
    bool shown = false;
    WhenShown(
        [](QDialog* d) {
            d->move(140, 90);
            d->reject();
        },
        &shown);
    ui.AskChoice("Corvale: JavaScript", "First", {"a", "b"});
    ASSERT_TRUE(shown);
    QPoint place;
    WhenShown(
        [&place](QDialog* d) {
            place = d->pos();
            d->reject();
        },
        &shown);
    ui.AskChoice("Corvale: JavaScript", "Second", {"a", "b"});
    ASSERT_TRUE(shown);
    EXPECT_EQ(place, QPoint(140, 90));
}

TEST(QtColorChooser, AnswersTheColourAsRedGreenBlueBytes) {
    CQtUserInterface ui;
    bool shown = false;
    WhenShown(
        [](QDialog* d) {
            auto* picker = qobject_cast<QColorDialog*>(d);
            ASSERT_NE(picker, nullptr);
            EXPECT_EQ(picker->currentColor(), QColor(0, 0, 0));
            picker->setCurrentColor(QColor(16, 32, 48));
            picker->accept();
        },
        &shown);
    std::uint32_t colour = 0;
    ASSERT_TRUE(ui.ChooseColor("Corvale: JavaScript", colour));
    EXPECT_TRUE(shown);
    EXPECT_EQ(colour, 0x00302010u);

    WhenShown([](QDialog* d) { d->reject(); }, &shown);
    std::uint32_t kept = 0x00010203u;
    EXPECT_FALSE(ui.ChooseColor("Corvale: JavaScript", kept));
    EXPECT_EQ(kept, 0x00010203u);
}

// The script's folder browser and the map images' output folder ask
// through this: the program's own folder chooser, opened in the folder given.
TEST(QtFolderChooser, IsTheProgramsChooserStartingInTheFolderGiven) {
    TempDir dir;
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.file("sheets"))));
    CQtUserInterface ui;
    bool shown = false;
    bool ours = false;
    QString title;
    QString start;
    WhenShown(
        [&](QDialog* d) {
            auto* chooser = dynamic_cast<CYABFFW*>(d);
            ours = chooser != nullptr;
            title = d->windowTitle();
            if (chooser != nullptr)
                start = chooser->directory().absolutePath();
            auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(QStringLiteral("sheets"));
            d->accept();
        },
        &shown);
    std::string path = dir.path();
    ASSERT_TRUE(ui.ChooseFolder("Please select an output directory", path));
    ASSERT_TRUE(shown);
    EXPECT_TRUE(ours);
    EXPECT_EQ(title, QStringLiteral("Please select an output directory"));
    EXPECT_EQ(start, QDir(QString::fromStdString(dir.path())).absolutePath());
    EXPECT_EQ(path, dir.file("sheets"));

    WhenShown([](QDialog* d) { d->reject(); }, &shown);
    EXPECT_FALSE(ui.ChooseFolder({}, path));
    EXPECT_EQ(path, dir.file("sheets")) << "cancelled: the folder stays";
}

}  // namespace
