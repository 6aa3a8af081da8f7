#pragma once
// The raster part of an image theme: the image file, the transformation that
// places its pixels on the map, the control points it may have been fitted
// to, and the north-up display bitmap the map renderer draws.
//
// Every decoded image becomes a 32-bit RGB bitmap at once, whatever its depth
// in the file (1, 4, 8, 16, 24 or 32 bits), so the resampling and the
// renderer deal with one pixel layout only. The display bitmap is then
// resampled into a north-up copy covering the bounding box of the image's
// rotated outline, black outside it.

#include "raster/RasterTransformation.h"
#include "shapes/ShapeRecord.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

class CArchive;

// A control point of the calibration: a pixel (counted from 0 at the image's
// top-left pixel) and the map position it belongs at.
struct RasterControlPoint {
    std::int32_t column = 0;
    std::int32_t row = 0;
    double x = 0.0;
    double y = 0.0;
};

// Results of CRasterImageData::Load. 0 and 3 are loads that succeeded.
enum RasterLoadStatus : int {
    RLS_Loaded = 0,
    RLS_NoPath = 1,
    RLS_BitmapExists = 2,
    RLS_NoWorldFile = 3,
    RLS_DecodeFailed = 4,
    RLS_BitmapFailed = 5,
};

// The extension of the world file that belongs to an image path: ".tif" gives
// ".tfw", ".jpg" ".jgw" (the first and last letter and a "w"), ".tiff"
// ".tfw", ".jpeg" ".jgw", anything else and no extension ".wld".
std::string GetWorldFileExtension(const std::string& imagePath);

// Looks for the world file beside an image, in any letter case: first the
// extension above, then ".wld", ".w" and ".tfw". True when one exists;
// worldFilePath then names it, else the file that would be preferred.
bool FindWorldFile(const std::string& imagePath, std::string& worldFilePath);

// Decodes an image file and reports its size in pixels; false when it cannot
// be decoded.
bool ReadImageSize(const std::string& imagePath, int& width, int& height);

class CRasterImageData {
public:
    // The only depth display bitmaps have.
    static constexpr int kDisplayDepth = 32;
    // Display bitmaps larger than this are refused: a skewed or nearly
    // degenerate transformation can ask the resampling for a north-up copy of
    // any size, and a corrupt file must not make the program try.
    static constexpr std::int64_t kMaxDisplayBitmapBytes = std::int64_t(1) << 30;

    CRasterImageData();
    virtual ~CRasterImageData();

    bool HasDisplayBitmap() const { return !m_DisplayBitmap.isNull(); }
    // Frees the display bitmap, so that Load may run again.
    void DeleteDisplayBitmap();

    // Loads the image, places it by the given transformation or else by the
    // world file beside it, and builds the north-up display bitmap. Returns a
    // RasterLoadStatus: 0 loaded; 1 no path; 2 a display bitmap exists already
    // (nothing done); 3 loaded, but the world file was missing or unreadable,
    // so the transformation stayed as it was; 4 the image could not be
    // decoded; 5 the display bitmap or its north-up copy could not be made
    // (too large, or a transformation without inverse). After 4 and 5 there
    // is no display bitmap.
    int Load(const std::string& imagePath, const CRasterTransformation* transformation = nullptr);

    // Takes over a bitmap handed over by a plug-in, placed on the given
    // rectangle (x1 the western, y2 the northern edge). False when the bitmap
    // is empty or too large, or the rectangle has no width or height.
    bool RebuildBitmap(const std::string& name, QImage source, const RasterRect& rect);

    // Makes an all-black display bitmap of the given size: 0; 2 when there is
    // one already; 5 when it cannot be made (a size of 0, a depth other than
    // kDisplayDepth, more than kMaxDisplayBitmapBytes, no memory).
    int CreateDisplayBitmap(int width, int height, int depth);

    // Resamples this part's display bitmap into a north-up bitmap of target
    // (which must have none yet). Every output pixel takes the colour of the
    // source pixel that covers its centre, or black outside the image. corners
    // receives the world positions of the image's outer corners: top-left,
    // bottom-left, bottom-right, top-right. False when the bitmap was
    // resampled already, there is none, the transformation has no inverse or
    // the target bitmap cannot be made.
    bool Resample(CRasterImageData& target, std::vector<CShapePoint>& corners) const;

    // Recomputes the corner ring (the image's outer pixel corners top-left,
    // bottom-left, bottom-right, top-right and top-left again) and the bounds.
    void UpdateCorners();

    // The calibration page's moves and scales. A factor of 0 or a value that
    // is not finite would leave a transformation without inverse: such calls
    // change nothing and give false.
    bool MoveHorizontally(double distance);
    bool MoveVertically(double distance);
    bool ScaleWidth(double factor);
    bool ScaleHeight(double factor);

    // Stores or loads the raster part: u32 version (2), the image path, u32
    // control-point version (1), u32 count, per point i32 column, i32 row,
    // f64 x, f64 y, and from version 2 the transformation in world-file order.
    // Loading throws CArchiveException: BadSchema for a version above 2,
    // EndOfFile for truncated data, BadData for a count larger than the data
    // or a number that is not finite; the raster part is unchanged then.
    void Serialize(CArchive& ar);

    std::string m_ImagePath;
    std::vector<RasterControlPoint> m_ControlPoints;
    // Top-down 32-bit RGB (QImage::Format_RGB32); null when there is none.
    QImage m_DisplayBitmap;
    std::int32_t m_BitmapWidth = 0;
    std::int32_t m_BitmapHeight = 0;
    std::int32_t m_BitsPerPixel = 0;
    std::int32_t m_ImageWidth = 0;
    std::int32_t m_ImageHeight = 0;
    std::uint8_t m_Resampled = 0;
    std::uint8_t m_Ready = 1;
    std::vector<CShapePoint> m_Corners;
    // Bounding box of the corner ring: (x1, y1) the minimum, (x2, y2) the
    // maximum corner.
    RasterRect m_Bounds;
    CRasterTransformation m_Transformation;
};
