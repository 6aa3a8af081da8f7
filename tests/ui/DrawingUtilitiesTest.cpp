// Off-screen drawing, the status-bar progress bar and the folder chooser,
// checked on the pixels they leave and through the real dialog.

#include "TempDir.h"
#include "UiTestSupport.h"

#include "ui/MemDC.h"
#include "ui/StatusBarProgressCtrl.h"
#include "ui/YABFFW.h"

#include <QAbstractItemView>
#include <QDir>
#include <QtTest/QTest>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrinter>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

// ---------------------------------------------------------------------------
// CMemDC
// ---------------------------------------------------------------------------

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

struct MemDCCase {
    const char* name;
    bool copyBackground;
    bool transparent;
    // The colour of the drawing rectangle's pixels not drawn on.
    QRgb untouched;
};

TEST(MemDC, DrawsOnTheTargetWhenItGoes) {
    const MemDCCase cases[] = {
        {"FilledWithTheBackground", false, false, kWhite},
        {"CopiedBackground", true, false, kGreen},
        {"TransparentBackground", false, true, kGreen},
    };
    for (const MemDCCase& c : cases) {
        QImage target(40, 40, QImage::Format_ARGB32_Premultiplied);
        target.fill(kGreen);
        QPainter painter(&target);
        painter.setBackground(QColor(kWhite));
        {
            CMemDC dc(painter, QRect(10, 10, 20, 20), c.copyBackground, c.transparent);
            ASSERT_TRUE(dc.IsMemoryMode()) << c.name;
            // In the target's coordinates.
            dc->fillRect(QRect(15, 15, 5, 5), QColor(kBlue));
            // Drawing outside the rectangle is cut off.
            dc->fillRect(QRect(0, 0, 5, 5), QColor(kRed));
            EXPECT_EQ(target.pixel(16, 16), kGreen) << c.name << ": nothing shows before the copy";
        }
        EXPECT_EQ(target.pixel(16, 16), kBlue) << c.name;
        EXPECT_EQ(target.pixel(11, 11), c.untouched) << c.name;
        EXPECT_EQ(target.pixel(29, 29), c.untouched) << c.name;
        EXPECT_EQ(target.pixel(2, 2), kGreen) << c.name;
        EXPECT_EQ(target.pixel(30, 30), kGreen) << c.name;
    }
}

TEST(MemDC, WholeTargetWithoutRectangleAndTranslatedTarget) {
    QImage target(30, 20, QImage::Format_ARGB32_Premultiplied);
    target.fill(kGreen);
    QPainter painter(&target);
    painter.setBackground(QColor(kWhite));
    {
        CMemDC dc(painter);
        EXPECT_EQ(dc.Rect(), QRect(0, 0, 30, 20));
        dc->fillRect(QRect(0, 0, 1, 1), QColor(kBlue));
    }
    EXPECT_EQ(target.pixel(0, 0), kBlue);
    EXPECT_EQ(target.pixel(29, 19), kWhite);
    // A target whose origin moved keeps its coordinates in the copy.
    target.fill(kGreen);
    painter.translate(5, 5);
    {
        CMemDC dc(painter, QRect(0, 0, 10, 10), true);
        dc->fillRect(QRect(1, 1, 1, 1), QColor(kBlue));
    }
    EXPECT_EQ(target.pixel(6, 6), kBlue);
    EXPECT_EQ(target.pixel(5, 5), kGreen);
    EXPECT_EQ(target.pixel(1, 1), kGreen);
}

TEST(MemDC, PrinterIsDrawnOnDirectly) {
    TempDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("page.pdf")));
    QPainter painter(&printer);
    CMemDC dc(painter, QRect(0, 0, 100, 100));
    EXPECT_FALSE(dc.IsMemoryMode());
    EXPECT_EQ(&dc.Painter(), &painter);
}

// ---------------------------------------------------------------------------
// CStatusBarProgressCtrl
// ---------------------------------------------------------------------------

class StatusBarProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Frame = std::make_unique<QMainWindow>();
        m_Frame->setCentralWidget(new QWidget);
        m_Frame->statusBar()->setMinimumHeight(24);
        m_Frame->resize(400, 300);
        m_Frame->show();
    }
    // The bar's pixel at per-cent column `column` (0-99), halfway down.
    static QRgb BarPixel(const CStatusBarProgressCtrl& progress, int labelWidth, int column) {
        const QImage image = progress.Layer()->grab().toImage();
        return image.pixel(labelWidth + 2 + column, image.height() / 2);
    }
    static QRgb Orange() { return qRgb(255, 128, 0); }

    std::unique_ptr<QMainWindow> m_Frame;
};

TEST_F(StatusBarProgressTest, PositionIsClampedAndRepeatsDrawNothing) {
    CStatusBarProgressCtrl progress;
    ASSERT_NE(progress.Layer(), nullptr);
    EXPECT_EQ(progress.Layer()->parentWidget(), m_Frame->statusBar());
    EXPECT_EQ(progress.Layer()->width(), 104);
    EXPECT_EQ(progress.Layer()->height(), m_Frame->statusBar()->height() - 2);
    struct Step {
        int set;
        int pos;
        bool draws;
    };
    const Step steps[] = {{40, 40, true}, {40, 40, false}, {150, 100, true}, {100, 100, false},
                          {-5, 0, true},  {0, 0, false},  {1, 1, true}};
    for (const Step& step : steps) {
        const int before = progress.DrawCount();
        progress.SetPos(step.set);
        EXPECT_EQ(progress.GetPos(), step.pos) << step.set;
        EXPECT_EQ(progress.DrawCount() > before, step.draws) << step.set;
        if (step.pos > 0) {
            EXPECT_EQ(BarPixel(progress, 0, step.pos - 1), Orange()) << step.set;
        }
        if (step.pos < 100) {
            EXPECT_NE(BarPixel(progress, 0, step.pos), Orange()) << step.set;
        }
    }
}

TEST_F(StatusBarProgressTest, LabelComesBeforeTheBar) {
    CStatusBarProgressCtrl progress;
    progress.SetPos(100);
    progress.SetText(QStringLiteral("Loading"));
    const int labelWidth = progress.Layer()->fontMetrics().horizontalAdvance(QStringLiteral("Loading")) + 8;
    EXPECT_EQ(progress.Layer()->width(), labelWidth + 104);
    EXPECT_EQ(BarPixel(progress, labelWidth, 0), Orange());
    EXPECT_EQ(BarPixel(progress, labelWidth, 99), Orange());
    // Before the bar: the label's space, not the bar.
    const QImage image = progress.Layer()->grab().toImage();
    EXPECT_NE(image.pixel(labelWidth - 3, image.height() / 2), Orange());
}

TEST_F(StatusBarProgressTest, GoesWithTheObject) {
    auto progress = std::make_unique<CStatusBarProgressCtrl>();
    QPointer<QWidget> layer = progress->Layer();
    progress.reset();
    EXPECT_TRUE(layer.isNull());
}

TEST(StatusBarProgress, WithoutMainWindowOrStatusBarDoesNothing) {
    CStatusBarProgressCtrl noFrame;
    EXPECT_EQ(noFrame.Layer(), nullptr);
    noFrame.SetPos(50);
    noFrame.SetText(QStringLiteral("x"));
    EXPECT_EQ(noFrame.GetPos(), 50);
    // A main window without a status bar gets none.
    QMainWindow frame;
    frame.show();
    CStatusBarProgressCtrl noBar;
    EXPECT_EQ(noBar.Layer(), nullptr);
    EXPECT_EQ(frame.findChild<QStatusBar*>(), nullptr);
}

// ---------------------------------------------------------------------------
// CYABFFW
// ---------------------------------------------------------------------------

class RecordingChooser : public CYABFFW {
public:
    using CYABFFW::CYABFFW;
    int inits = 0;
    QStringList changes;
    QStringList refused;
    bool closeOnRefusal = false;

protected:
    void OnInit() override { ++inits; }
    void OnSelChanged(const QString& folder) override { changes.append(folder); }
    bool OnValidateFailed(const QString& typed) override {
        refused.append(typed);
        return closeOnRefusal;
    }
};

class FolderChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(QString::fromStdString(m_Dir.file("one")));
        QDir().mkpath(QString::fromStdString(m_Dir.file("two")));
    }
    QString Folder(const char* name) const { return QString::fromStdString(m_Dir.file(name)); }
    static QLineEdit* NameField(QWidget* dialog) { return dialog->findChild<QLineEdit*>("fileNameEdit"); }

    TempDir m_Dir;
};

TEST_F(FolderChooserTest, ChosenFolderAndCancelKeepsIt) {
    RecordingChooser chooser(QStringLiteral("Choose"), QString::fromStdString(m_Dir.path()));
    WhenModal([&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Choose");
        // The folder's entries are listed in the background; then "two" is
        // clicked in the list.
        auto* list = dialog->findChild<QAbstractItemView*>("listView");
        QTRY_VERIFY_WITH_TIMEOUT(list->model()->rowCount(list->rootIndex()) == 2, 5000);
        QModelIndex two;
        for (int row = 0; row < 2; ++row)
            if (list->model()->index(row, 0, list->rootIndex()).data().toString() == "two")
                two = list->model()->index(row, 0, list->rootIndex());
        ASSERT_TRUE(two.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(two).center());
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(chooser.DoModal(), CYABFFW::IDOK);
    EXPECT_EQ(chooser.GetFolderPath(), Folder("two"));
    EXPECT_EQ(chooser.inits, 1);
    EXPECT_TRUE(chooser.changes.contains(Folder("two"))) << chooser.changes.join(", ").toStdString();
    WhenModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(chooser.DoModal(), CYABFFW::IDCANCEL);
    EXPECT_EQ(chooser.GetFolderPath(), Folder("two"));
}

TEST_F(FolderChooserTest, TypedFolderThatDoesNotExist) {
    for (bool close : {false, true}) {
        RecordingChooser chooser(QString(), Folder("one"));
        chooser.closeOnRefusal = close;
        bool stayedOpen = false;
        WhenModal([&](QWidget* dialog) {
            NameField(dialog)->setText(QStringLiteral("missing"));
            static_cast<QDialog*>(dialog)->accept();
            stayedOpen = dialog->isVisible();
            if (stayedOpen)
                static_cast<QDialog*>(dialog)->reject();
        });
        EXPECT_EQ(chooser.DoModal(), CYABFFW::IDCANCEL) << close;
        EXPECT_EQ(stayedOpen, !close);
        EXPECT_EQ(chooser.refused, QStringList{"missing"}) << close;
        EXPECT_EQ(chooser.GetFolderPath(), QString()) << close;
    }
}

}  // namespace
