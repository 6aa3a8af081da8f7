// The binary shape viewer: the hex text in both alignments, the decoding
// of selected bytes, and selecting bytes in the running dialog.

#include "shapes/ShapeRecord.h"
#include "ui/ShapeBinaryDialog.h"

#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A point record as a file holds it: number 1 and content length 10 words
// big-endian, then type 1 and x, y little-endian, then the extra bytes.
std::vector<unsigned char> PointRecord(double x, double y, std::vector<unsigned char> extra = {}) {
    std::vector<unsigned char> bytes = {0, 0, 0, 1, 0, 0, 0, 10, 1, 0, 0, 0};
    for (double value : {x, y}) {
        unsigned char raw[8];
        std::memcpy(raw, &value, 8);
        bytes.insert(bytes.end(), raw, raw + 8);
    }
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    return bytes;
}

const CShapeRecord* Record(const std::vector<unsigned char>& bytes) {
    return CShapeRecord::FromBytes(static_cast<const void*>(bytes.data()));
}

// Selects bytes [first, first + count) of the hex view, as a drag would.
void SelectBytes(CShapeBinaryDialog& dialog, int first, int count) {
    const int lineLength = dialog.m_Alignment == CShapeBinaryDialog::Byte ? 24 : 20;
    auto column = [&](int i) {
        const int inLine = i % 8;
        return i / 8 * lineLength + (dialog.m_Alignment == CShapeBinaryDialog::Byte ? inLine * 3 : inLine * 2 + inLine / 2);
    };
    QTextCursor cursor(dialog.m_Hex->document());
    cursor.setPosition(column(first));
    cursor.setPosition(column(first + count - 1) + 2, QTextCursor::KeepAnchor);
    dialog.m_Hex->setTextCursor(cursor);
}

} // namespace

TEST(ShapeBinaryDialog, HexTextInBothAlignments) {
    const unsigned char bytes[] = {0x00, 0x01, 0xAB, 0xFF, 0x10, 0x20, 0x30, 0x40, 0x7E, 0x05};
    EXPECT_EQ(CShapeBinaryDialog::FormatHex(bytes, 10, CShapeBinaryDialog::Byte),
              "00 01 AB FF 10 20 30 40\r\n7E 05 ");
    EXPECT_EQ(CShapeBinaryDialog::FormatHex(bytes, 10, CShapeBinaryDialog::Word),
              "0001 ABFF 1020 3040\r\n7E05 ");
    EXPECT_EQ(CShapeBinaryDialog::FormatHex(bytes, 0, CShapeBinaryDialog::Byte), "");
}

TEST(ShapeBinaryDialog, DecodesTheSelectedBytes) {
    using D = CShapeBinaryDialog;
    double x = 12.5;
    unsigned char raw[8];
    std::memcpy(raw, &x, 8);
    const std::string xHex = D::FormatHex(raw, 8, D::Byte);
    struct Case {
        std::string selection;
        int interpretation;
        std::string text;
        int after;
        bool big;
        bool little;
    };
    const std::vector<Case> cases = {
        {"00 00 00 01", D::LittleEndian, "16777216", D::LittleEndian, true, true},
        {"00 00 00 01", D::BigEndian, "1", D::BigEndian, true, true},
        {"0000 0001", D::BigEndian, "1", D::BigEndian, true, true},
        {"FF FF FF FF", D::BigEndian, "-1", D::BigEndian, true, true},
        {"01 02", D::LittleEndian, "513", D::LittleEndian, true, true},
        {"01 02", D::BigEndian, "258", D::BigEndian, true, true},
        {"FF", D::LittleEndian, "255", D::LittleEndian, true, true},
        // Eight bytes are a little-endian double whatever was chosen.
        {xHex, D::BigEndian, "12.500000", D::LittleEndian, false, true},
        // Three bytes: characters, neither endianness applies.
        {"41 42 0A", D::LittleEndian, "AB.", D::Ascii, false, false},
        {"48 69", D::Ascii, "Hi", D::Ascii, true, false},
        {"0", D::LittleEndian, "<Select 1, 2, 4 or 8 bytes>", D::LittleEndian, true, true},
        {"", D::BigEndian, "<Select 1, 2, 4 or 8 bytes>", D::BigEndian, true, true},
    };
    for (const Case& c : cases) {
        const D::Decoded decoded = D::Decode(c.selection, c.interpretation);
        EXPECT_EQ(decoded.text, c.text) << c.selection;
        EXPECT_EQ(decoded.interpretation, c.after) << c.selection;
        EXPECT_EQ(decoded.bigEnabled, c.big) << c.selection;
        EXPECT_EQ(decoded.littleEnabled, c.little) << c.selection;
    }
}

TEST(ShapeBinaryDialog, SelectingInTheRunningDialog) {
    const std::vector<unsigned char> bytes = PointRecord(12.5, -3.0, {0xAA, 0xBB});
    CShapeBinaryDialog dialog(Record(bytes), 2);
    EXPECT_EQ(dialog.windowTitle(), "Binary Shape Viewer");
    EXPECT_EQ(dialog.GetShownSize(), 30u);
    EXPECT_EQ(dialog.m_Hex->toPlainText().toStdString(),
              "00 00 00 01 00 00 00 0A\n01 00 00 00 00 00 00 00\n00 00 29 40 00 00 00 00\n00 00 08 C0 AA BB ");
    EXPECT_TRUE(dialog.m_Byte->isChecked());
    EXPECT_TRUE(dialog.m_Little->isChecked());

    SelectBytes(dialog, 0, 4);
    EXPECT_EQ(dialog.m_Value->toPlainText(), "16777216");
    dialog.m_Big->click();
    EXPECT_EQ(dialog.m_Value->toPlainText(), "1");

    // x: eight bytes, forced to little endian, big endian disabled.
    SelectBytes(dialog, 12, 8);
    EXPECT_EQ(dialog.m_Value->toPlainText(), "12.500000");
    EXPECT_TRUE(dialog.m_Little->isChecked());
    EXPECT_FALSE(dialog.m_Big->isEnabled());

    SelectBytes(dialog, 28, 2);
    EXPECT_EQ(dialog.m_Value->toPlainText(), "48042");

    SelectBytes(dialog, 8, 3);
    EXPECT_TRUE(dialog.m_Ascii->isChecked());
    EXPECT_FALSE(dialog.m_Big->isEnabled());
    EXPECT_FALSE(dialog.m_Little->isEnabled());

    // Word alignment pairs the bytes; the colours follow the parts.
    dialog.m_Word->click();
    EXPECT_EQ(dialog.m_Hex->toPlainText().left(20), "0000 0001 0000 000A\n");
    QTextCursor cursor(dialog.m_Hex->document());
    auto colourAt = [&](int position) {
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    };
    EXPECT_EQ(colourAt(0), QColor(0xFF, 0, 0));
    EXPECT_EQ(colourAt(10), QColor(0x00, 0x96, 0x96));
    EXPECT_EQ(colourAt(20), QColor(0, 0, 0xFF));
    EXPECT_EQ(colourAt(dialog.m_Hex->toPlainText().size() - 3), QColor(0, 0xFF, 0));
}

TEST(ShapeBinaryDialog, NullRecordShowsOnlyItsExtraBytes) {
    const std::vector<unsigned char> bytes = {0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 0};
    CShapeBinaryDialog dialog(Record(bytes), 4);
    EXPECT_EQ(dialog.GetShownSize(), 4u);
    EXPECT_EQ(dialog.m_Hex->toPlainText(), "00 00 00 03 ");
    CShapeBinaryDialog empty(nullptr, 4);
    EXPECT_EQ(empty.m_Hex->toPlainText(), "");
}
