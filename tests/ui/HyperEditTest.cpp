// The hyperlink text: which words are links, where they are, which click
// opens one, and how they are painted.

#include "ui/controls/HyperEdit.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The centre of the n-th character in viewport coordinates.
QPoint CharacterCentre(CHyperEdit& edit, int position) {
    QTextCursor cursor(edit.document());
    cursor.setPosition(position);
    const QRect left = edit.cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect right = edit.cursorRect(cursor);
    return QPoint((left.x() + right.x()) / 2, left.center().y());
}

struct ShownEdit {
    CHyperEdit edit;
    std::vector<std::string> opened;
    explicit ShownEdit(const char* text) {
        edit.resize(400, 200);
        edit.setPlainText(QString::fromUtf8(text));
        edit.m_OpenLink = [this](const std::string& link) {
            opened.push_back(link);
            return true;
        };
        edit.show();
        QApplication::processEvents();
    }
};

int CountNear(const QImage& image, const QColor& colour, int tolerance = 40) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                tolerance)
                ++count;
        }
    return count;
}

} // namespace

TEST(HyperEdit, WordTest) {
    struct Case {
        const char* word;
        bool link;
    };
    const Case cases[] = {
        {"http://example.org", true},  {"HTTP://EXAMPLE.ORG", true}, {"https://example.org", true},
        {"HTTPS://x", true},           {"mailto:a@b.c", true},       {"file:///tmp/a", true},
        {"www.example.org", true},     {"WWW.x", true},              {"", false},
        {" http://x", false},          {"\thttp://x", false},        {"\nwww.x", false},
        {"ftp://x", false},            {"xhttp://x", false},         {"http:/x", false},
    };
    CHyperEdit edit;
    for (const Case& c : cases)
        EXPECT_EQ(edit.IsHyperlink(c.word), c.link) << '"' << c.word << '"';
}

TEST(HyperEdit, FindsLinksBetweenBlanksLinesAndTabs) {
    CHyperEdit edit;
    edit.setPlainText("See www.a.b\tand https://c.d\nmailto:e@f\r\nend");
    const std::vector<std::pair<int, int>> expected = {{4, 7}, {16, 11}, {28, 10}};
    EXPECT_EQ(edit.FindLinks(), expected);
}

TEST(HyperEdit, ClickOpensTheLinkUnderThePointer) {
    ShownEdit shown("go http://one.example and www.two.example\nsecond line");
    CHyperEdit& edit = shown.edit;
    const QPoint one = CharacterCentre(edit, 5);
    const QPoint two = CharacterCentre(edit, 30);
    const QPoint plain = CharacterCentre(edit, 23);

    EXPECT_EQ(edit.LinkAt(one), "http://one.example");
    EXPECT_EQ(edit.LinkAt(plain), "");
    // Below the last line of text nothing is a link.
    EXPECT_EQ(edit.LinkAt(QPoint(one.x(), edit.viewport()->height() - 2)), "");

    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, one);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, plain);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, two);
    EXPECT_EQ(shown.opened, (std::vector<std::string>{"http://one.example", "www.two.example"}));

    // Pressed on one link, released on the other: a drag that selects text.
    shown.opened.clear();
    QTest::mousePress(edit.viewport(), Qt::LeftButton, {}, one);
    QTest::mouseMove(edit.viewport(), two);
    QTest::mouseRelease(edit.viewport(), Qt::LeftButton, {}, two);
    EXPECT_TRUE(shown.opened.empty());
}

TEST(HyperEdit, HoverColoursTheLinkAndTheHandShows) {
    ShownEdit shown("see http://one.example");
    CHyperEdit& edit = shown.edit;
    auto colours = [&edit] {
        std::vector<QColor> found;
        for (const QTextEdit::ExtraSelection& mark : edit.extraSelections())
            found.push_back(mark.format.foreground().color());
        return found;
    };
    EXPECT_EQ(colours(), (std::vector<QColor>{CHyperEdit::kLinkColor}));
    QTest::mouseMove(edit.viewport(), CharacterCentre(edit, 8));
    EXPECT_EQ(colours(), (std::vector<QColor>{CHyperEdit::kHoverColor}));
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(edit.viewport(), CharacterCentre(edit, 1));
    EXPECT_EQ(colours(), (std::vector<QColor>{CHyperEdit::kLinkColor}));
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST(HyperEdit, SelectedPartOfALinkIsPaintedAsSelection) {
    ShownEdit shown("http://one.example.org/long/path");
    CHyperEdit& edit = shown.edit;
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, Qt::black);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    edit.setPalette(palette);
    QFont font = edit.font();
    font.setPointSize(16);
    edit.setFont(font);
    QApplication::processEvents();

    auto linkPixels = [&edit] {
        QImage image(edit.viewport()->size(), QImage::Format_RGB32);
        edit.viewport()->render(&image);
        return CountNear(image, CHyperEdit::kLinkColor);
    };
    const int whole = linkPixels();
    ASSERT_GT(whole, 0);
    QTextCursor cursor(edit.document());
    cursor.setPosition(0);
    cursor.setPosition(16, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    QApplication::processEvents();
    const int part = linkPixels();
    EXPECT_GT(part, 0);
    EXPECT_LT(part, whole);
    edit.selectAll();
    QApplication::processEvents();
    EXPECT_EQ(linkPixels(), 0);
}
