#include "view/MapImageOutput.h"

#include "core/ColorRef.h"
#include "core/Theme.h"
#include "platform/TextCase.h"
#include "platform/TextEncoding.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeRecord.h"

#include <QByteArray>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
#include <QString>

#include <gif_lib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_map>
#include <vector>

const CSheetImageFormat kSheetImageFormats[kSheetImageFormatCount] = {
    {"24-bit bitmap (*.bmp)", ".bmp", 24}, {"16-bit bitmap (*.bmp)", ".bmp", 16},
    {"JPEG (*.jpg)", ".jpg", 24},          {"GIF (*.gif)", ".gif", 16},
    {"PNG (*.png)", ".png", 24},
};

CMapSheetSettings& RememberedMapSheetSettings() {
    static CMapSheetSettings settings;
    return settings;
}

int& RememberedMapImageChoice() {
    static int choice = 0;
    return choice;
}

bool ComputeAutomaticSheetValue(CMapSheetSettings& s) {
    if (s.heightAutomatic) {
        if (s.columns == 0 || s.rows == 0 || s.clientWidth == 0)
            return false;
        const double sheetClientWidth = static_cast<double>(s.clientWidth) / s.columns;
        const double sheetClientHeight = static_cast<double>(s.clientHeight) / s.rows;
        const double value = std::ceil(s.width * sheetClientHeight / sheetClientWidth);
        if (!std::isfinite(value) || value > std::numeric_limits<int>::max())
            return false;
        s.height = static_cast<int>(value);
        return true;
    }
    if (s.width == 0 || s.height == 0 || s.clientWidth == 0 || s.clientHeight == 0)
        return false;
    const double value = std::ceil(s.columns * (static_cast<double>(s.clientHeight) / s.height) /
                                   (static_cast<double>(s.clientWidth) / s.width));
    if (!std::isfinite(value) || value > std::numeric_limits<int>::max())
        return false;
    s.rows = static_cast<int>(value);
    return true;
}

namespace {

using corvale::EndsWithNoCase;
using corvale::ReplaceAll;

// "%.16g" with a decimal point whatever the locale.
std::string General16(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 16);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string ExpandSheetTemplate(const std::string& fileTemplate, int column, int row) {
    std::string name = fileTemplate;
    ReplaceAll(name, "<SHEETX>", std::to_string(column + 1));
    ReplaceAll(name, "<SHEETY>", std::to_string(row + 1));
    return name;
}

std::string SheetTransformText(int kind, double left, double top, double right, double bottom,
                               int width, int height) {
    if (kind == STK_WorldFile) {
        const double pixelX = std::fabs(right - left) / width;
        const double pixelY = std::fabs(top - bottom) / height;
        return General16(pixelX) + "\r\n" + General16(0.0) + "\r\n" + General16(0.0) + "\r\n" +
               General16(-pixelY) + "\r\n" + General16(left + pixelX * 0.5) + "\r\n" +
               General16(top - pixelY * 0.5) + "\r\n";
    }
    if (kind == STK_SheetText)
        return "TOP=" + General16(top) + "\r\nLEFT=" + General16(left) + "\r\nBOTTOM=" +
               General16(bottom) + "\r\nRIGHT=" + General16(right) + "\r\nROTATE=0.000000\r\n";
    return {};
}

// ---------------------------------------------------------------------------
// Image files
// ---------------------------------------------------------------------------

namespace {

// Index of each palette colour; at most 256 entries.
struct GifPalette {
    std::vector<QRgb> colours;
    std::unordered_map<QRgb, int> index;
    int transparentIndex = -1;
};

// An exact palette when the image has few enough colours, else a fixed
// 6 x 7 x 6 colour cube (252 entries); the transparent colour always has an
// entry of its own.
bool ExactPalette(const QImage& rgb, const QRgb* transparent, GifPalette& palette) {
    if (transparent != nullptr) {
        palette.index.emplace(*transparent, 0);
        palette.colours.push_back(*transparent);
        palette.transparentIndex = 0;
    }
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (palette.index.count(c) != 0)
                continue;
            if (palette.colours.size() == 256)
                return false;
            palette.index.emplace(c, static_cast<int>(palette.colours.size()));
            palette.colours.push_back(c);
        }
    }
    return true;
}

int CubeIndex(QRgb c) {
    const int r = (qRed(c) * 5 + 127) / 255;
    const int g = (qGreen(c) * 6 + 127) / 255;
    const int b = (qBlue(c) * 5 + 127) / 255;
    return (r * 7 + g) * 6 + b;
}

void CubePalette(const QRgb* transparent, GifPalette& palette) {
    palette.colours.clear();
    palette.index.clear();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                palette.colours.push_back(qRgb(r * 255 / 5, g * 255 / 6, b * 255 / 5));
    palette.transparentIndex = -1;
    if (transparent != nullptr) {
        palette.transparentIndex = static_cast<int>(palette.colours.size());
        palette.colours.push_back(*transparent);
    }
}

bool WriteGif(const QImage& rgb, const GifPalette& palette, bool exact, const QRgb* transparent,
              const std::string& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (gif == nullptr)
        return false;
    // The colour map's size must be a power of two.
    int mapSize = 2;
    int bits = 1;
    while (mapSize < static_cast<int>(palette.colours.size())) {
        mapSize *= 2;
        ++bits;
    }
    std::vector<GifColorType> colours(static_cast<std::size_t>(mapSize), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.colours.size(); ++i)
        colours[i] = GifColorType{static_cast<GifByteType>(qRed(palette.colours[i])),
                                  static_cast<GifByteType>(qGreen(palette.colours[i])),
                                  static_cast<GifByteType>(qBlue(palette.colours[i]))};
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    bool ok = map != nullptr;
    EGifSetGifVersion(gif, true);
    ok = ok && EGifPutScreenDesc(gif, rgb.width(), rgb.height(), bits, 0, map) == GIF_OK;
    if (ok && palette.transparentIndex >= 0) {
        GraphicsControlBlock block{};
        block.DisposalMode = DISPOSAL_UNSPECIFIED;
        block.UserInputFlag = false;
        block.DelayTime = 0;
        block.TransparentColor = palette.transparentIndex;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&block, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
             GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, rgb.width(), rgb.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(static_cast<std::size_t>(rgb.width()));
    for (int y = 0; ok && y < rgb.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = pixels[x] | 0xFF000000u;
            int index;
            if (transparent != nullptr && c == *transparent)
                index = palette.transparentIndex;
            else if (exact)
                index = palette.index.at(c);
            else
                index = CubeIndex(c);
            line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(index);
        }
        ok = EGifPutLine(gif, line.data(), rgb.width()) == GIF_OK;
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    return ok;
}

// Writes through a file beside the target, moved over it when complete.
template <class Write> bool WriteBeside(const std::string& path, Write write) {
    const std::string temporary = path + ".tmp.gif";
    if (!write(temporary)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ContainsColour(const QImage& rgb, QRgb colour) {
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if ((line[x] | 0xFF000000u) == colour)
                return true;
    }
    return false;
}

} // namespace

bool WriteGifFile(const QImage& image, const std::string& path,
                  const std::uint32_t* transparentColour) {
    if (image.isNull())
        return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QRgb transparent = 0;
    const bool hasTransparent =
        transparentColour != nullptr &&
        ContainsColour(rgb, transparent = RgbFromColorRef(*transparentColour));
    const QRgb* key = hasTransparent ? &transparent : nullptr;
    GifPalette palette;
    const bool exact = ExactPalette(rgb, key, palette);
    if (!exact)
        CubePalette(key, palette);
    return WriteBeside(path, [&](const std::string& temporary) {
        return WriteGif(rgb, palette, exact, key, temporary);
    });
}

bool SaveImageFile(const QImage& image, const std::string& path, const QByteArray& format,
                   const std::uint32_t* transparentColour) {
    // Moving the finished file over the target needs only the folder's
    // permission, so a read-only file is refused here.
    if (image.isNull() || path.empty() || CFileWriter::IsReadOnlyFile(path.c_str()))
        return false;
    const bool gif = format.isEmpty() ? EndsWithNoCase(path, ".gif")
                                      : format.toLower() == QByteArrayLiteral("gif");
    if (gif)
        return WriteGifFile(image, path, transparentColour);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chosen = format;
    if (chosen.isEmpty()) {
        const std::size_t dot = path.find_last_of("./");
        if (dot != std::string::npos && path[dot] == '.')
            chosen = QByteArray::fromStdString(path.substr(dot + 1)).toLower();
    }
    QImageWriter writer(&file, chosen);
    if (!writer.canWrite() || !writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::string MapImageFileFilter() {
    // The formats Qt writes, less the icon formats; GIF by our own encoder.
    std::vector<QByteArray> formats;
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        const QByteArray f = format.toLower();
        if (f == "ico" || f == "cur" || f == "icns")
            continue;
        formats.push_back(f);
    }
    formats.push_back("gif");
    std::sort(formats.begin(), formats.end());
    formats.erase(std::unique(formats.begin(), formats.end()), formats.end());
    // PNG first: the dialog starts on the first entry.
    std::stable_partition(formats.begin(), formats.end(),
                          [](const QByteArray& f) { return f == "png"; });
    std::string filter;
    for (const QByteArray& f : formats) {
        const std::string name = f.toUpper().toStdString();
        std::string patterns = "*." + f.toStdString();
        if (f == "jpeg")
            continue;
        if (f == "jpg")
            patterns = "*.jpg;*.jpeg";
        if (f == "tif")
            continue;
        if (f == "tiff")
            patterns = "*.tif;*.tiff";
        filter += name + " (" + patterns + ")|" + patterns + "|";
    }
    return filter + "|";
}

// ---------------------------------------------------------------------------
// HTML image maps
// ---------------------------------------------------------------------------

namespace {

// The pixel rectangle of the image, normalised.
CDeviceRect ImageRect(const CMapViewport& viewport) {
    return {std::min(viewport.left, viewport.right), std::min(viewport.top, viewport.bottom),
            std::max(viewport.left, viewport.right), std::max(viewport.top, viewport.bottom)};
}

// The image's own pixels: a point on the left or top edge is in, one on the
// right or bottom edge is not.
bool InImage(const CDeviceRect& image, const CDevicePoint& p) {
    return p.x >= image.left && p.x < image.right && p.y >= image.top && p.y < image.bottom;
}

bool ShapeInImage(const CShapeRecord* record, const CMapViewport& viewport,
                  const CDeviceRect& image) {
    const std::uint32_t type = CShapeRecord::GetShapeType(record);
    if (CShapeRecord::IsPointType(type)) {
        const CShapePoint p = CShapeRecord::GetPoint(record, 0);
        return InImage(image, MapToDevice(viewport, p.x, p.y));
    }
    const double minX = CShapeRecord::GetMinX(record), maxX = CShapeRecord::GetMaxX(record);
    const double minY = CShapeRecord::GetMinY(record), maxY = CShapeRecord::GetMaxY(record);
    return InImage(image, MapToDevice(viewport, minX, minY)) ||
           InImage(image, MapToDevice(viewport, minX, maxY)) ||
           InImage(image, MapToDevice(viewport, maxX, minY)) ||
           InImage(image, MapToDevice(viewport, maxX, maxY));
}

template <class Visit> void ForEachMapShape(CTheme& theme, bool selectedOnly, Visit visit) {
    const int count = theme.GetShapeCount();
    for (int position = 0; position < count; ++position) {
        if (selectedOnly && theme.GetSelectionIndex(theme.GetShapeIndex(position)) < 0)
            continue;
        if (const CShapeRecord* record = theme.GetShape(position))
            visit(position, record);
    }
}

// The values put into an area's texts, as UTF-8 (the text is shown and saved
// as such) and escaped; one filter for each way a table keeps its text.
std::string EscapeWindowsLatin1Value(const std::string& text) {
    return EscapeHtmlAttribute(corvale::Windows1252ToUtf8(text));
}

std::string EscapeUnknownCodePageValue(const std::string& text) {
    return EscapeHtmlAttribute(corvale::TableTextToUtf8(text, corvale::kDbfCodePageUnknown));
}

void AppendAreaTexts(std::string& out, const CTheme& theme, int position,
                     const CImageMapTexts& texts, const CDevicePoint* pixel) {
    const auto filter = corvale::IsWindowsLatin1CodePage(theme.GetAttributeCodePage()) ? EscapeWindowsLatin1Value
                                                                                         : EscapeUnknownCodePageValue;
    const auto expand = [&](const std::string& text) {
        std::string value = theme.ExpandTemplate(text, position, filter);
        if (pixel != nullptr) {
            ReplaceAll(value, "<$PIXEL_X>", std::to_string(pixel->x));
            ReplaceAll(value, "<$PIXEL_Y>", std::to_string(pixel->y));
        }
        return value;
    };
    if (!texts.href.empty())
        out += " href='" + expand(texts.href) + "'";
    else
        out += " nohref";
    if (!texts.alt.empty())
        out += " alt='" + expand(texts.alt) + "'";
    if (!texts.custom.empty())
        out += " " + expand(texts.custom);
    out += ">\r\n";
}

} // namespace

std::string EscapeHtmlAttribute(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

int CountImageMapShapes(CTheme& theme, const CMapViewport& viewport, bool selectedOnly) {
    const CDeviceRect image = ImageRect(viewport);
    int count = 0;
    ForEachMapShape(theme, selectedOnly, [&](int, const CShapeRecord* record) {
        if (ShapeInImage(record, viewport, image))
            ++count;
    });
    return count;
}

std::int64_t EstimateImageMapSize(const CImageMapTexts& texts, int count) {
    const std::int64_t perArea =
        (texts.href.empty() ? 50 : 51 + static_cast<std::int64_t>(texts.href.size())) +
        (texts.alt.empty() ? 0 : 7 + static_cast<std::int64_t>(texts.alt.size())) +
        (texts.custom.empty() ? 0 : 1 + static_cast<std::int64_t>(texts.custom.size()));
    return (perArea + 2) * count + 24;
}

std::string GenerateImageMap(CTheme& theme, const CMapViewport& viewport, bool selectedOnly,
                             const CImageMapTexts& texts) {
    const CDeviceRect image = ImageRect(viewport);
    std::string out = "<map name='map'>\r\n";
    ForEachMapShape(theme, selectedOnly, [&](int position, const CShapeRecord* record) {
        const std::uint32_t type = CShapeRecord::GetShapeType(record);
        if (CShapeRecord::IsPointType(type)) {
            const CShapePoint p = CShapeRecord::GetPoint(record, 0);
            const CDevicePoint px = MapToDevice(viewport, p.x, p.y);
            if (!InImage(image, px))
                return;
            out += "<Area shape='rect' coords='" + std::to_string(px.x - 6) + "," +
                   std::to_string(px.y - 6) + "," + std::to_string(px.x + 6) + "," +
                   std::to_string(px.y + 6) + "'";
            AppendAreaTexts(out, theme, position, texts, &px);
            return;
        }
        if (!CShapeRecord::IsPolygonType(type))
            return;
        const std::uint32_t parts = CShapeRecord::GetPartCount(record);
        const std::uint32_t points = CShapeRecord::GetPointCount(record);
        for (std::uint32_t part = 0; part < parts; ++part) {
            const std::uint32_t first = CShapeRecord::GetPartStart(record, part);
            const std::uint32_t end =
                part + 1 < parts ? CShapeRecord::GetPartStart(record, part + 1) : points;
            if (first >= end || end > points)
                continue;
            std::vector<CDevicePoint> pixels;
            pixels.reserve(end - first);
            CDeviceRect box{std::numeric_limits<std::int32_t>::max(),
                            std::numeric_limits<std::int32_t>::max(),
                            std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::int32_t>::min()};
            for (std::uint32_t i = first; i < end; ++i) {
                const CShapePoint p = CShapeRecord::GetPoint(record, i);
                const CDevicePoint px = MapToDevice(viewport, p.x, p.y);
                box.left = std::min(box.left, px.x);
                box.top = std::min(box.top, px.y);
                box.right = std::max(box.right, px.x);
                box.bottom = std::max(box.bottom, px.y);
                if (pixels.empty() || pixels.back() != px)
                    pixels.push_back(px);
            }
            // The part's pixels, its right and bottom ones included, against
            // the image's.
            if (box.left >= image.right || box.right < image.left || box.top >= image.bottom ||
                box.bottom < image.top)
                continue;
            out += "<Area shape='polygon' coords='";
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                if (i != 0)
                    out += ",";
                out += std::to_string(pixels[i].x) + "," + std::to_string(pixels[i].y);
            }
            out += "'";
            AppendAreaTexts(out, theme, position, texts, nullptr);
        }
    });
    out += "</map>";
    return out;
}

std::string ImageMapTestPage(const std::string& mapText, const std::string& imagePath) {
    // Put together in one pass: a path or a map that holds "$MAP" stays as
    // it is.
    return "<HTML>\r\n<TITLE>Image map test</TITLE>\r\n<BODY>\r\n" + mapText +
           "\r\n<IMG SRC='file://" + EscapeHtmlAttribute(imagePath) +
           "' USEMAP='#Map'>\r\n</BODY>\r\n</HTML>\r\n";
}
