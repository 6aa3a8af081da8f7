#include "core/styles/BrushPatterns.h"

#include <QImage>

#include <array>

namespace {

// Set bits take the background, clear bits the foreground.
const unsigned char kPatternRows[kFillPatternCount][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // 0 solid
    {0xEE, 0xDD, 0xBB, 0x77, 0xEE, 0xDD, 0xBB, 0x77}, // 1
    {0x77, 0xBB, 0xDD, 0xEE, 0x77, 0xBB, 0xDD, 0xEE}, // 2
    {0x77, 0xAA, 0xDD, 0xAA, 0x77, 0xAA, 0xDD, 0xAA}, // 3
    {0x77, 0x77, 0x77, 0x00, 0x77, 0x77, 0x77, 0x00}, // 4
    {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}, // 5
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}, // 6
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}, // 7
    {0xCC, 0xCC, 0x00, 0x00, 0xCC, 0xCC, 0x00, 0x00}, // 8
    {0x33, 0x33, 0xFF, 0xFF, 0x33, 0x33, 0xFF, 0xFF}, // 9
    {0xF8, 0xEC, 0xCE, 0x8F, 0xF1, 0x73, 0x37, 0x1F}, // 10
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // 11 hollow: never used as a bitmap
    {0x87, 0xFF, 0x78, 0xFF, 0xC3, 0xFF, 0x3C, 0xFF}, // 12
    {0xFF, 0xFF, 0x03, 0xFF, 0xFF, 0xFF, 0x60, 0xFF}, // 13
};

// Colour-table entries of the pattern images: pixel value = the pattern bit.
constexpr int kClearBit = 0;
constexpr int kSetBit = 1;

// A one-bit image whose rows are the pattern bytes as they stand: QImage's
// Format_Mono keeps the leftmost pixel in the high bit, as the patterns do.
QImage PatternImage(const unsigned char* rows, QRgb foreground, QRgb background) {
    QImage image(8, 8, QImage::Format_Mono);
    image.setColorCount(2);
    image.setColor(kClearBit, foreground);
    image.setColor(kSetBit, background);
    for (int row = 0; row < 8; ++row)
        image.scanLine(row)[0] = rows[row];
    return image;
}

} // namespace

const unsigned char* GetFillPatternRows(int index) {
    if (index < 0 || index >= kFillPatternCount || index == kHollowFillPattern)
        return nullptr;
    return kPatternRows[index];
}

const QBrush& GetPatternBrush(int index) {
    static const QBrush hollow(Qt::NoBrush);
    // Made on first use, as drawing is what first needs them.
    static const std::array<QBrush, kFillPatternCount> shared = [] {
        std::array<QBrush, kFillPatternCount> brushes;
        for (int i = 0; i < kFillPatternCount; ++i) {
            if (const unsigned char* rows = GetFillPatternRows(i))
                brushes[static_cast<std::size_t>(i)] = QBrush(PatternImage(rows, qRgb(0, 0, 0), qRgb(255, 255, 255)));
        }
        return brushes;
    }();
    const unsigned char* rows = GetFillPatternRows(index);
    return rows != nullptr ? shared[static_cast<std::size_t>(index)] : hollow;
}

QBrush GetPatternBrush(int index, const QColor& foreground, const QColor& background) {
    const unsigned char* rows = GetFillPatternRows(index);
    if (rows == nullptr)
        return QBrush(Qt::NoBrush);
    // A texture of the colours themselves: Qt draws a one-bit texture image in
    // its own colour table, and the background may be transparent.
    const QImage coloured = PatternImage(rows, foreground.rgba(), background.rgba())
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return QBrush(coloured);
}
