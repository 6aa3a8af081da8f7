#include "ui/ShapeBinaryDialog.h"

#include "framework/UserInterface.h"
#include "shapes/ShapeRecord.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextFrame>
#include <QVBoxLayout>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

template <class T> T* Named(T* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// The colours of the record's parts, as the legend names them.
const QColor kIndexColour(0xFF, 0x00, 0x00);
const QColor kLengthColour(0x00, 0x96, 0x96);
const QColor kTypeColour(0x00, 0x00, 0xFF);
const QColor kDataColour(0x00, 0x00, 0x00);
const QColor kExtraColour(0x00, 0xFF, 0x00);

// Where byte i's two digits start in the shown text (line breaks as one
// character, as the view holds them).
int ByteColumn(std::size_t i, int alignment) {
    const std::size_t line = i / 8;
    const std::size_t inLine = i % 8;
    const std::size_t lineLength = alignment == CShapeBinaryDialog::Byte ? 24 : 20;
    const std::size_t offset = alignment == CShapeBinaryDialog::Byte ? inLine * 3 : inLine * 2 + inLine / 2;
    return static_cast<int>(line * lineLength + offset);
}

} // namespace

CShapeBinaryDialog::CShapeBinaryDialog(const CShapeRecord* record, std::size_t extraBytes, QWidget* parent)
    : QDialog(parent), m_Hex(Named(new QTextEdit(this), IDC_BINARY_HEX)),
      m_Value(Named(new QTextEdit(this), IDC_BINARY_VALUE)), m_Legend(Named(new QTextEdit(this), IDC_BINARY_LEGEND)),
      m_Byte(Named(new QRadioButton(QStringLiteral("Byte"), this), IDC_BINARY_BYTE)),
      m_Word(Named(new QRadioButton(QStringLiteral("Word"), this), IDC_BINARY_WORD)),
      m_Big(Named(new QRadioButton(QStringLiteral("Big endian"), this), IDC_BINARY_BIG_ENDIAN)),
      m_Little(Named(new QRadioButton(QStringLiteral("Little endian"), this), IDC_BINARY_LITTLE_ENDIAN)),
      m_Ascii(Named(new QRadioButton(QStringLiteral("ASCII"), this), IDC_BINARY_ASCII)), m_Record(record),
      m_ExtraBytes(extraBytes) {
    setObjectName(QString::number(IDD_SHAPE_BINARY));
    setWindowTitle(QStringLiteral("Binary Shape Viewer"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QTextEdit* edit : {m_Hex, m_Value, m_Legend})
        edit->setReadOnly(true);
    m_Hex->setFont(fixed);
    m_Legend->setFont(fixed);
    m_Hex->setWordWrapMode(QTextOption::NoWrap);

    auto* alignment = new QButtonGroup(this);
    alignment->addButton(m_Byte, Byte);
    alignment->addButton(m_Word, Word);
    auto* interpretation = new QButtonGroup(this);
    interpretation->addButton(m_Big, BigEndian);
    interpretation->addButton(m_Little, LittleEndian);
    interpretation->addButton(m_Ascii, Ascii);
    m_Byte->setChecked(true);
    m_Little->setChecked(true);
    connect(alignment, &QButtonGroup::idClicked, this, [this](int id) { SetAlignment(id); });
    connect(interpretation, &QButtonGroup::idClicked, this, [this](int id) { SetInterpretation(id); });
    connect(m_Hex, &QTextEdit::selectionChanged, this, [this] {
        if (!m_Colouring)
            DecodeSelection();
    });

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_Hex, 0, 0, 3, 1);
    auto* alignBox = new QGroupBox(QStringLiteral("Alignment"), this);
    auto* alignLayout = new QVBoxLayout(alignBox);
    alignLayout->addWidget(m_Byte);
    alignLayout->addWidget(m_Word);
    auto* readBox = new QGroupBox(QStringLiteral("Interpretation"), this);
    auto* readLayout = new QVBoxLayout(readBox);
    readLayout->addWidget(m_Big);
    readLayout->addWidget(m_Little);
    readLayout->addWidget(m_Ascii);
    layout->addWidget(alignBox, 0, 1);
    layout->addWidget(readBox, 1, 1);
    layout->addWidget(m_Value, 2, 1);
    layout->addWidget(m_Legend, 3, 0, 1, 2);

    // The legend, each part's name in its colour.
    const struct {
        const char* name;
        QColor colour;
    } parts[] = {{"Shape Index", kIndexColour},
                 {"Content Length", kLengthColour},
                 {"Shape Type", kTypeColour},
                 {"Shape Data", kDataColour},
                 {"Extra Data", kExtraColour}};
    QTextCursor legend(m_Legend->document());
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        QTextCharFormat format;
        format.setForeground(parts[i].colour);
        if (i > 0)
            legend.insertText(QStringLiteral("\n"));
        legend.insertText(QString::fromLatin1(parts[i].name), format);
    }
    BuildHex();
}

std::size_t CShapeBinaryDialog::GetShownSize() const {
    if (m_Record == nullptr)
        return 0;
    return CShapeRecord::GetSize(m_Record) + m_ExtraBytes;
}

std::string CShapeBinaryDialog::FormatHex(const unsigned char* bytes, std::size_t count, int alignment) {
    std::string text;
    char digits[3];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        text += digits;
        if ((i + 1) % 8 == 0)
            text += "\r\n";
        else if (alignment == Byte || i % 2 == 1)
            text += ' ';
    }
    return text;
}

void CShapeBinaryDialog::BuildHex() {
    m_Colouring = true;
    const int firstLine = m_Hex->verticalScrollBar()->value();
    const std::size_t size = GetShownSize();
    std::string text =
        m_Record != nullptr ? FormatHex(CShapeRecord::Bytes(m_Record), size, m_Alignment) : std::string();
    // The view breaks lines at LF alone.
    std::string shown;
    for (char c : text)
        if (c != '\r')
            shown += c;
    m_Hex->setPlainText(QString::fromStdString(shown));
    // The digits start a little in from the left edge.
    QTextFrameFormat frame = m_Hex->document()->rootFrame()->frameFormat();
    frame.setLeftMargin(10);
    m_Hex->document()->rootFrame()->setFrameFormat(frame);

    auto colour = [this, size](std::size_t first, std::size_t last, const QColor& c) {
        if (first >= size || first > last)
            return;
        last = std::min(last, size - 1);
        QTextCursor cursor(m_Hex->document());
        cursor.setPosition(ByteColumn(first, m_Alignment));
        cursor.setPosition(ByteColumn(last, m_Alignment) + 2, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(c);
        cursor.mergeCharFormat(format);
    };
    colour(0, 3, kIndexColour);
    colour(4, 7, kLengthColour);
    colour(8, 11, kTypeColour);
    if (m_ExtraBytes > 0 && size >= m_ExtraBytes)
        colour(size - m_ExtraBytes, size - 1, kExtraColour);
    m_Hex->verticalScrollBar()->setValue(firstLine);
    m_Colouring = false;
}

CShapeBinaryDialog::Decoded CShapeBinaryDialog::Decode(const std::string& selection, int interpretation) {
    std::string digits;
    for (char c : selection)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    Decoded result;
    result.interpretation = interpretation;
    const std::size_t n = digits.size();
    char buffer[64];
    if ((n == 2 || n == 4 || n == 8) && interpretation != Ascii) {
        std::uint32_t value = static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
        if (interpretation == LittleEndian) {
            if (n == 4)
                value = ((value & 0xFF) << 8) | (value >> 8);
            else if (n == 8)
                SwapBytes32(value);
        }
        if (n == 8)
            std::snprintf(buffer, sizeof buffer, "%d", static_cast<std::int32_t>(value));
        else
            std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
        result.text = buffer;
        return result;
    }
    if (n == 16 && interpretation != Ascii) {
        // The bytes in text order are the double's little-endian storage.
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | std::strtoul(digits.substr(static_cast<std::size_t>(i) * 2, 2).c_str(), nullptr, 16);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        std::snprintf(buffer, sizeof buffer, "%lf", value);
        result.text = buffer;
        result.interpretation = LittleEndian;
        result.bigEnabled = false;
        return result;
    }
    if (n >= 2) {
        result.interpretation = Ascii;
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            const int byte = static_cast<int>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16));
            result.text += std::isprint(byte) ? static_cast<char>(byte) : '.';
        }
        result.bigEnabled = n == 2 || n == 4 || n == 8;
        result.littleEnabled = n == 16;
        return result;
    }
    result.text = "<Select 1, 2, 4 or 8 bytes>";
    return result;
}

void CShapeBinaryDialog::DecodeSelection() {
    const Decoded decoded = Decode(m_Hex->textCursor().selectedText().toStdString(), m_Interpretation);
    m_Interpretation = decoded.interpretation;
    m_Big->setEnabled(decoded.bigEnabled);
    m_Little->setEnabled(decoded.littleEnabled);
    QRadioButton* checked[] = {m_Big, m_Little, m_Ascii};
    checked[m_Interpretation]->setChecked(true);
    m_Value->setPlainText(QString::fromStdString(decoded.text));
}

void CShapeBinaryDialog::SetAlignment(int alignment) {
    m_Alignment = alignment == Word ? Word : Byte;
    (m_Alignment == Word ? m_Word : m_Byte)->setChecked(true);
    {
        corvale::CWaitCursor wait;
        BuildHex();
    }
    DecodeSelection();
}

void CShapeBinaryDialog::SetInterpretation(int interpretation) {
    m_Interpretation = interpretation >= BigEndian && interpretation <= Ascii ? interpretation : LittleEndian;
    DecodeSelection();
}
