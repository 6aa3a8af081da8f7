#pragma once
// "Binary Shape Viewer": the bytes of one shape record in hexadecimal, the
// record's parts in colour, and the selected bytes decoded as an integer,
// a double or characters.

#include <QDialog>

#include <cstddef>
#include <string>

class CShapeRecord;
class QRadioButton;
class QTextEdit;

constexpr int IDD_SHAPE_BINARY = 1218;
constexpr int IDC_BINARY_BYTE = 2164;
constexpr int IDC_BINARY_WORD = 2165;
constexpr int IDC_BINARY_HEX = 2166;
constexpr int IDC_BINARY_VALUE = 2167;
constexpr int IDC_BINARY_BIG_ENDIAN = 2168;
constexpr int IDC_BINARY_LITTLE_ENDIAN = 2169;
constexpr int IDC_BINARY_LEGEND = 2170;
constexpr int IDC_BINARY_ASCII = 2171;

class CShapeBinaryDialog : public QDialog {
public:
    enum Alignment { Byte = 0, Word = 1 };
    enum Interpretation { BigEndian = 0, LittleEndian = 1, Ascii = 2 };

    // The record and the bytes its theme keeps after each record.
    CShapeBinaryDialog(const CShapeRecord* record, std::size_t extraBytes, QWidget* parent = nullptr);

    // The bytes shown: the record's size by type and the extra bytes.
    std::size_t GetShownSize() const;

    // The hex text: "%02X" per byte, CR LF after every eighth, otherwise a
    // blank after every byte (Byte) or after every second one (Word).
    static std::string FormatHex(const unsigned char* bytes, std::size_t count, int alignment);

    // What the decoded view shows for selected hex text (blanks and line
    // breaks ignored). Adjusts the interpretation and says which of the
    // two endianness choices stay enabled.
    struct Decoded {
        std::string text;
        int interpretation = LittleEndian;
        bool bigEnabled = true;
        bool littleEnabled = true;
    };
    static Decoded Decode(const std::string& selection, int interpretation);

    void SetAlignment(int alignment);
    void SetInterpretation(int interpretation);
    // Decodes the hex view's selection into the value view.
    void DecodeSelection();

    QTextEdit* m_Hex;
    QTextEdit* m_Value;
    QTextEdit* m_Legend;
    QRadioButton* m_Byte;
    QRadioButton* m_Word;
    QRadioButton* m_Big;
    QRadioButton* m_Little;
    QRadioButton* m_Ascii;
    int m_Alignment = Byte;
    int m_Interpretation = LittleEndian;

private:
    void BuildHex();
    const CShapeRecord* m_Record;
    std::size_t m_ExtraBytes;
    bool m_Colouring = false;
};
