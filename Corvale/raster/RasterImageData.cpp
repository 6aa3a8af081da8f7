#include "raster/RasterImageData.h"

#include "platform/Archive.h"
#include "platform/FileNames.h"

#include <QImageReader>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <limits>
#include <utility>

namespace {

constexpr std::uint32_t kRasterVersion = 2;
constexpr std::uint32_t kControlPointVersion = 1;
constexpr std::size_t kControlPointBytes = 4 + 4 + 8 + 8;
// Opaque black, as Format_RGB32 keeps it.
constexpr QRgb kBlack = 0xFF000000u;

// The extension of the last path component including the dot, or empty.
std::string PathExtension(const std::string& path) {
    const std::string stem = corvale::PathStem(path);
    return path.substr(stem.size());
}

QImage DecodeImage(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    // Pixels are placed by the world file as they are stored; turning them by
    // an orientation tag would move them off their coordinates.
    reader.setAutoTransform(false);
    return reader.read();
}

bool FitsDisplayBitmap(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || width > std::numeric_limits<std::int32_t>::max() ||
        height > std::numeric_limits<std::int32_t>::max())
        return false;
    const std::int64_t bytesPerPixel = CRasterImageData::kDisplayDepth / 8;
    return width <= CRasterImageData::kMaxDisplayBitmapBytes / bytesPerPixel / height;
}

// Pixels of the north-up copy along one axis: the extent over the size of a
// pixel, rounded up. A quotient within a millionth of a pixel of a whole
// number is that number: the extent is a difference of large coordinates (a
// UTM northing, say) and carries their rounding, which must not stretch an
// image that is not rotated by one pixel. 0 for a quotient that is no
// positive number.
double OutputPixels(double extent, double pixelSize) {
    const double quotient = extent / pixelSize;
    if (!std::isfinite(quotient) || !(quotient > 0.0))
        return 0.0;
    const double nearest = std::round(quotient);
    if (std::fabs(quotient - nearest) <= std::max(1e-6, 1e-9 * quotient))
        return std::max(1.0, nearest);
    return std::ceil(quotient);
}

RasterRect BoundingBox(const std::vector<CShapePoint>& points) {
    RasterRect box;
    if (points.empty())
        return box;
    box.x1 = box.x2 = points.front().x;
    box.y1 = box.y2 = points.front().y;
    for (const CShapePoint& p : points) {
        box.x1 = std::min(box.x1, p.x);
        box.x2 = std::max(box.x2, p.x);
        box.y1 = std::min(box.y1, p.y);
        box.y2 = std::max(box.y2, p.y);
    }
    return box;
}

// The image's outer pixel corners: top-left, bottom-left, bottom-right,
// top-right.
std::vector<CShapePoint> OuterCorners(const CRasterTransformation& t, int width, int height) {
    return {t.PixelToWorld(-0.5, -0.5), t.PixelToWorld(-0.5, height - 0.5), t.PixelToWorld(width - 0.5, height - 0.5),
            t.PixelToWorld(width - 0.5, -0.5)};
}

} // namespace

std::string GetWorldFileExtension(const std::string& imagePath) {
    std::string extension = PathExtension(imagePath);
    if (extension.empty())
        return ".wld";
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension.size() == 4)
        return std::string{'.', extension[1], extension[3], 'w'};
    if (extension == ".tiff")
        return ".tfw";
    if (extension == ".jpeg")
        return ".jgw";
    return ".wld";
}

bool FindWorldFile(const std::string& imagePath, std::string& worldFilePath) {
    if (PathExtension(imagePath).empty()) {
        worldFilePath = corvale::FindSiblingFile(imagePath, ".wld");
        if (!worldFilePath.empty())
            return true;
        worldFilePath = imagePath + ".wld";
        return false;
    }
    const std::string base = corvale::PathStem(imagePath);
    const std::string preferred = GetWorldFileExtension(imagePath);
    for (const char* extension : {preferred.c_str(), ".wld", ".w", ".tfw"}) {
        const std::string found = corvale::FindSiblingFile(base, extension);
        if (!found.empty()) {
            worldFilePath = found;
            return true;
        }
    }
    worldFilePath = base + preferred;
    return false;
}

bool ReadImageSize(const std::string& imagePath, int& width, int& height) {
    const QImage image = DecodeImage(imagePath);
    if (image.isNull())
        return false;
    width = image.width();
    height = image.height();
    return true;
}

CRasterImageData::CRasterImageData() = default;

CRasterImageData::~CRasterImageData() = default;

void CRasterImageData::DeleteDisplayBitmap() { m_DisplayBitmap = QImage(); }

int CRasterImageData::Load(const std::string& imagePath, const CRasterTransformation* transformation) {
    if (HasDisplayBitmap())
        return RLS_BitmapExists;
    m_Ready = 0;
    if (imagePath.empty())
        return RLS_NoPath;

    int status = RLS_Loaded;
    if (transformation != nullptr) {
        m_Transformation.SetCoefficients(*transformation);
    } else {
        std::string worldFile;
        FindWorldFile(imagePath, worldFile);
        CRasterTransformation read;
        std::ifstream in(worldFile, std::ios::binary);
        if (in.is_open() && read.ReadWorldFile(in))
            m_Transformation.SetCoefficients(read);
        else
            status = RLS_NoWorldFile;
    }

    m_Resampled = 0;
    QImage decoded = DecodeImage(imagePath);
    if (decoded.isNull())
        return RLS_DecodeFailed;

    m_BitmapWidth = m_ImageWidth = decoded.width();
    m_BitmapHeight = m_ImageHeight = decoded.height();
    m_BitsPerPixel = kDisplayDepth;
    UpdateCorners();

    if (!FitsDisplayBitmap(decoded.width(), decoded.height()))
        return RLS_BitmapFailed;
    // One pixel layout from here on, whatever the file's depth: palette,
    // grey and 16-bit images all become 32-bit RGB.
    QImage section = decoded.convertToFormat(QImage::Format_RGB32);
    decoded = QImage();
    if (section.isNull())
        return RLS_BitmapFailed;
    m_ImagePath = imagePath;
    m_DisplayBitmap = std::move(section);

    CRasterImageData northUp;
    northUp.m_Transformation.SetCoefficients(m_Transformation);
    std::vector<CShapePoint> corners;
    if (!Resample(northUp, corners)) {
        // Drawn unresampled, a rotated image would stand at the wrong angle:
        // better no picture than a wrong one.
        DeleteDisplayBitmap();
        return RLS_BitmapFailed;
    }
    m_Resampled = 1;
    // The corners the resampling used are those UpdateCorners placed in the
    // ring above (same transformation, same size), which stays closed.
    std::swap(m_DisplayBitmap, northUp.m_DisplayBitmap);
    std::swap(m_BitmapWidth, northUp.m_BitmapWidth);
    std::swap(m_BitmapHeight, northUp.m_BitmapHeight);
    std::swap(m_BitsPerPixel, northUp.m_BitsPerPixel);

    m_Ready = 1;
    return status;
}

bool CRasterImageData::RebuildBitmap(const std::string& name, QImage source, const RasterRect& rect) {
    m_Ready = 0;
    if (source.isNull())
        return false;
    const int width = source.width();
    const int height = source.height();
    if (!m_Transformation.SetFromExtent(static_cast<unsigned>(width), static_cast<unsigned>(height), rect, 0.0))
        return false;
    if (!FitsDisplayBitmap(width, height))
        return false;
    QImage section = source.convertToFormat(QImage::Format_RGB32);
    source = QImage();
    if (section.isNull())
        return false;

    m_DisplayBitmap = std::move(section);
    m_BitmapWidth = width;
    m_BitmapHeight = height;
    m_BitsPerPixel = kDisplayDepth;
    // Kept so that moving or scaling the raster later computes its corners
    // from the real size.
    m_ImageWidth = width;
    m_ImageHeight = height;
    m_Bounds = rect;
    m_Corners = {{rect.x1, rect.y2}, {rect.x1, rect.y1}, {rect.x2, rect.y1}, {rect.x2, rect.y2}, {rect.x1, rect.y2}};
    m_ImagePath = name;
    m_Ready = 1;
    return true;
}

int CRasterImageData::CreateDisplayBitmap(int width, int height, int depth) {
    if (HasDisplayBitmap())
        return RLS_BitmapExists;
    m_BitsPerPixel = depth;
    m_Ready = 0;
    m_BitmapWidth = m_ImageWidth = width;
    m_BitmapHeight = m_ImageHeight = height;
    if (depth != kDisplayDepth || !FitsDisplayBitmap(width, height))
        return RLS_BitmapFailed;
    QImage bitmap(width, height, QImage::Format_RGB32);
    if (bitmap.isNull())
        return RLS_BitmapFailed;
    bitmap.fill(kBlack);
    m_DisplayBitmap = std::move(bitmap);
    m_Ready = 1;
    return RLS_Loaded;
}

bool CRasterImageData::Resample(CRasterImageData& target, std::vector<CShapePoint>& corners) const {
    if (m_Resampled || !HasDisplayBitmap())
        return false;
    const CRasterTransformation& t = m_Transformation;
    if (t.GetK3() == 0.0)
        return false;
    const int width = m_DisplayBitmap.width();
    const int height = m_DisplayBitmap.height();

    std::vector<CShapePoint> outline = OuterCorners(t, width, height);
    const RasterRect box = BoundingBox(outline);
    const double boxWidth = box.x2 - box.x1;
    const double boxHeight = box.y2 - box.y1;

    const double columns = OutputPixels(boxWidth, std::hypot(t.GetA(), t.GetB()));
    const double rows = OutputPixels(boxHeight, std::hypot(t.GetD(), t.GetE()));
    // The size check comes before the conversion to int, which would be
    // undefined for a size beyond int's range.
    if (!(columns >= 1.0) || !(rows >= 1.0) || !FitsDisplayBitmap(static_cast<std::int64_t>(std::min(columns, 1e12)),
                                                                  static_cast<std::int64_t>(std::min(rows, 1e12))))
        return false;
    const int outWidth = static_cast<int>(columns);
    const int outHeight = static_cast<int>(rows);
    if (target.CreateDisplayBitmap(outWidth, outHeight, kDisplayDepth) != RLS_Loaded)
        return false;

    const double stepX = boxWidth / outWidth;
    const double stepY = boxHeight / outHeight;
    QImage& out = target.m_DisplayBitmap;
    for (int r = 0; r < outHeight; ++r) {
        // Scan lines of a 32-bit QImage are 4-byte aligned; QRgb is its pixel.
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(r));
        const double y = box.y1 + (outHeight - r - 0.5) * stepY;
        for (int c = 0; c < outWidth; ++c) {
            const double x = box.x1 + (c + 0.5) * stepX;
            double column = 0.0;
            double row = 0.0;
            t.WorldToPixel(x, y, column, row);
            // The pixel whose square holds the position: pixel centres sit on
            // whole numbers. NaN fails both comparisons and gives black.
            const double sc = std::floor(column + 0.5);
            const double sr = std::floor(row + 0.5);
            if (sc >= 0.0 && sc < width && sr >= 0.0 && sr < height) {
                const auto* source = reinterpret_cast<const QRgb*>(m_DisplayBitmap.constScanLine(static_cast<int>(sr)));
                line[c] = source[static_cast<int>(sc)];
            } else {
                line[c] = kBlack;
            }
        }
    }
    corners = std::move(outline);
    return true;
}

void CRasterImageData::UpdateCorners() {
    m_Corners = OuterCorners(m_Transformation, m_ImageWidth, m_ImageHeight);
    m_Corners.push_back(m_Corners.front());
    m_Bounds = BoundingBox(m_Corners);
}

bool CRasterImageData::MoveHorizontally(double distance) {
    const CRasterTransformation& t = m_Transformation;
    if (!std::isfinite(distance) || !std::isfinite(t.GetC() + distance))
        return false;
    m_Transformation.Set(t.GetA(), t.GetB(), t.GetC() + distance, t.GetD(), t.GetE(), t.GetF());
    UpdateCorners();
    return true;
}

bool CRasterImageData::MoveVertically(double distance) {
    const CRasterTransformation& t = m_Transformation;
    if (!std::isfinite(distance) || !std::isfinite(t.GetF() + distance))
        return false;
    m_Transformation.Set(t.GetA(), t.GetB(), t.GetC(), t.GetD(), t.GetE(), t.GetF() + distance);
    UpdateCorners();
    return true;
}

bool CRasterImageData::ScaleWidth(double factor) {
    const CRasterTransformation& t = m_Transformation;
    if (factor == 0.0 || !std::isfinite(factor) || !std::isfinite(t.GetA() * factor) ||
        !std::isfinite(t.GetD() * factor))
        return false;
    m_Transformation.Set(t.GetA() * factor, t.GetB(), t.GetC(), t.GetD() * factor, t.GetE(), t.GetF());
    UpdateCorners();
    return true;
}

bool CRasterImageData::ScaleHeight(double factor) {
    const CRasterTransformation& t = m_Transformation;
    if (factor == 0.0 || !std::isfinite(factor) || !std::isfinite(t.GetB() * factor) ||
        !std::isfinite(t.GetE() * factor))
        return false;
    m_Transformation.Set(t.GetA(), t.GetB() * factor, t.GetC(), t.GetD(), t.GetE() * factor, t.GetF());
    UpdateCorners();
    return true;
}

void CRasterImageData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteU32(kRasterVersion);
        ar.WriteString(m_ImagePath);
        ar.WriteU32(kControlPointVersion);
        ar.WriteU32(static_cast<std::uint32_t>(m_ControlPoints.size()));
        for (const RasterControlPoint& point : m_ControlPoints) {
            ar.WriteI32(point.column);
            ar.WriteI32(point.row);
            ar.WriteF64(point.x);
            ar.WriteF64(point.y);
        }
        m_Transformation.Serialize(ar);
        return;
    }

    const std::uint32_t version = ar.ReadU32();
    if (version > kRasterVersion)
        throw CArchiveException(CArchiveException::BadSchema,
                                "The image theme was saved by a newer version of the program.");
    // Everything is read into locals first, so that a damaged archive leaves
    // the raster part as it was.
    std::string path = ar.ReadString();
    ar.ReadU32(); // control-point version: the layout has not changed
    const std::uint32_t count = ar.ReadU32();
    ar.CheckCount(count, kControlPointBytes);
    std::vector<RasterControlPoint> points(count);
    for (RasterControlPoint& point : points) {
        point.column = ar.ReadI32();
        point.row = ar.ReadI32();
        point.x = ar.ReadF64();
        point.y = ar.ReadF64();
        if (!std::isfinite(point.x) || !std::isfinite(point.y))
            throw CArchiveException(CArchiveException::BadData, "A control point holds a number that is not finite.");
    }
    CRasterTransformation transformation(m_Transformation);
    if (version >= 2)
        transformation.Serialize(ar);

    m_ImagePath = std::move(path);
    m_ControlPoints = std::move(points);
    m_Transformation.SetCoefficients(transformation);
}
