// The raster part of image themes: loading, reloading and unloading the
// picture, the calibration page's moves, scales and rotation, placing images
// of older workspaces and taking over plug-in bitmaps.

#include "core/Theme.h"

#include "framework/UserInterface.h"

#include <algorithm>
#include <utility>

namespace {

bool IsLoadedStatus(int status) { return status == RLS_Loaded || status == RLS_NoWorldFile; }

bool IsUnrotated(const CRasterTransformation& t) { return t.GetB() == 0.0 && t.GetD() == 0.0; }

RasterRect ToRasterRect(CDoubleRect rect) {
    NormalizeDoubleRect(rect);
    return RasterRect{rect.x1, rect.y1, rect.x2, rect.y2};
}

// Builds the display bitmap again by the raster's own transformation, so that
// the north-up copy follows a changed placement. An image the user unloaded
// stays unloaded: it is built by the current placement when it is loaded.
// The load result, or RLS_BitmapExists when nothing was loaded.
int RebuildDisplayBitmap(CRasterImageData& raster) {
    if (!raster.HasDisplayBitmap())
        return RLS_BitmapExists;
    raster.DeleteDisplayBitmap();
    return raster.Load(raster.m_ImagePath, &raster.m_Transformation);
}

} // namespace

void CTheme::TakeRasterBounds() {
    const RasterRect& extent = m_Raster.m_Bounds;
    m_Bounds[0] = std::min(extent.x1, extent.x2);
    m_Bounds[1] = std::min(extent.y1, extent.y2);
    m_Bounds[2] = std::max(extent.x1, extent.x2);
    m_Bounds[3] = std::max(extent.y1, extent.y2);
    m_BoundsValid = true;
}

bool CTheme::LoadRaster(const std::string& path, const CRasterTransformation* transformation, bool* placedByWorld) {
    m_Raster.DeleteDisplayBitmap();
    const int status = m_Raster.Load(path, transformation);
    if (!IsLoadedStatus(status))
        return false;
    if (placedByWorld != nullptr)
        *placedByWorld = status == RLS_Loaded;
    TakeRasterBounds();
    return true;
}

bool CTheme::ReloadRaster(const CRasterTransformation* coefficients) {
    if (m_SourceType != ST_ImageFile)
        return false;
    if (coefficients != nullptr) {
        m_Raster.m_Transformation.SetCoefficients(*coefficients);
        m_Raster.DeleteDisplayBitmap();
        // The extent follows the new coefficients even when the image then
        // fails to load.
        m_Raster.UpdateCorners();
    }
    // The theme's own transformation, not the world file: it may have been
    // calibrated since the image was first placed.
    const int status = m_Raster.Load(m_Raster.m_ImagePath, &m_Raster.m_Transformation);
    TakeRasterBounds();
    m_Modified = true;
    return IsLoadedStatus(status) || status == RLS_BitmapExists;
}

bool CTheme::SetRasterLoaded(bool loaded) {
    if (m_SourceType != ST_ImageFile)
        return false;
    if (!loaded) {
        m_Raster.DeleteDisplayBitmap();
        m_RasterLoaded = false;
        return true;
    }
    if (m_Raster.HasDisplayBitmap()) {
        m_RasterLoaded = true;
        return true;
    }
    // A part whose last load failed is not tried again on every request.
    if (!m_Raster.m_Ready)
        return false;
    const int status = m_Raster.Load(m_Raster.m_ImagePath, &m_Raster.m_Transformation);
    if (status == RLS_Loaded || status == RLS_NoPath || status == RLS_NoWorldFile) {
        m_RasterLoaded = true;
        return true;
    }
    m_RasterLoaded = false;
    corvale::UI().ShowMessage("Error reloading raster file:\n    " + m_Raster.m_ImagePath +
                                  "\n\nProbable cause:\n    Out of memory.",
                              corvale::MessageIcon::Error, corvale::MessageButtons::Ok);
    return false;
}

bool CTheme::MoveRasterHorizontally(double distance) {
    if (m_SourceType != ST_ImageFile || !m_Raster.MoveHorizontally(distance))
        return false;
    TakeRasterBounds();
    m_Modified = true;
    return true;
}

bool CTheme::MoveRasterVertically(double distance) {
    if (m_SourceType != ST_ImageFile || !m_Raster.MoveVertically(distance))
        return false;
    TakeRasterBounds();
    m_Modified = true;
    return true;
}

bool CTheme::ScaleRasterWidth(double factor) {
    if (m_SourceType != ST_ImageFile || !m_Raster.ScaleWidth(factor))
        return false;
    TakeRasterBounds();
    // The north-up bitmap of an unrotated image only stretches with its
    // extent; a rotated one changes its shape and must be resampled.
    if (!IsUnrotated(m_Raster.m_Transformation))
        RebuildDisplayBitmap(m_Raster);
    m_Modified = true;
    return true;
}

bool CTheme::ScaleRasterHeight(double factor) {
    if (m_SourceType != ST_ImageFile || !m_Raster.ScaleHeight(factor))
        return false;
    TakeRasterBounds();
    RebuildDisplayBitmap(m_Raster);
    m_Modified = true;
    return true;
}

bool CTheme::RotateRaster(double angle) {
    if (m_SourceType != ST_ImageFile || !m_Raster.m_Transformation.Rotate(angle))
        return false;
    m_Raster.UpdateCorners();
    TakeRasterBounds();
    RebuildDisplayBitmap(m_Raster);
    m_Modified = true;
    return true;
}

bool CTheme::PlaceRaster(const CDoubleRect& rect, const std::string& path, double angle) {
    if (m_SourceType != ST_ImageFile)
        return false;
    m_Modified = true;
    const RasterRect target = ToRasterRect(rect);

    // The image's size is only known once it is decoded: load it first as a
    // single pixel spanning the rectangle, then fit the real placement.
    CRasterTransformation unit;
    if (!unit.SetFromExtent(1, 1, target, 0.0) || !LoadRaster(path, &unit))
        return false;
    m_BoundsValid = false;

    CRasterTransformation fitted;
    if (!fitted.SetFromExtent(static_cast<unsigned>(m_Raster.m_ImageWidth),
                              static_cast<unsigned>(m_Raster.m_ImageHeight), target, angle))
        return true;
    m_Raster.m_Transformation.SetCoefficients(fitted);
    m_Raster.UpdateCorners();
    // A turned image needs its north-up copy made again; an unturned one
    // keeps the bitmap it has.
    if (!IsUnrotated(fitted) && !IsLoadedStatus(RebuildDisplayBitmap(m_Raster)))
        return false;
    TakeRasterBounds();
    return true;
}

bool CTheme::SetExternalRaster(const CDoubleRect& rect, const std::string& fileName, const QImage& bitmap) {
    if (m_ShapeType != SHT_Image)
        return false;
    m_SourceType = ST_ExternalRaster;
    const RasterRect target = ToRasterRect(rect);
    // The raster part fits its transformation to the rectangle for the
    // bitmap's size and puts the corners on the rectangle itself.
    if (!m_Raster.RebuildBitmap(fileName, bitmap, target))
        return false;
    m_Bounds[0] = target.x1;
    m_Bounds[1] = target.y1;
    m_Bounds[2] = target.x2;
    m_Bounds[3] = target.y2;
    m_BoundsValid = true;
    return true;
}
