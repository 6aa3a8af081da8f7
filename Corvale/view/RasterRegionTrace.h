#pragma once
// Tracing a region of like colour in a raster image into an outline: the
// boundary is followed pixel by pixel with 8-connected moves, then the
// straight runs are thinned to their end points. The map view turns a select
// click on an image theme into the traced outline.

#include <cstddef>
#include <cstdint>
#include <vector>

class QImage;

struct CPixelPosition {
    std::int32_t column = 0;
    std::int32_t row = 0;
    bool operator==(const CPixelPosition& other) const { return column == other.column && row == other.row; }
};
using PixelPath = std::vector<CPixelPosition>;

// Which pixels belong to the region. Called several times per boundary
// pixel, so implementations read one pixel and allocate nothing; a position
// outside the image is never in the region.
class CPixelRegion {
public:
    virtual ~CPixelRegion() = default;
    virtual bool Contains(std::int32_t column, std::int32_t row) const = 0;
};

// The pixels of an image whose colour is the seed colour or similar to it
// (IsColourSimilar with the chroma threshold and hue tolerance given).
class CSimilarColourRegion : public CPixelRegion {
public:
    CSimilarColourRegion(const QImage& image, std::uint32_t seedColour, float chromaThreshold, float hueTolerance)
        : m_Image(image), m_SeedColour(seedColour), m_ChromaThreshold(chromaThreshold), m_HueTolerance(hueTolerance) {}
    // The seed colour for a pixel in the region, its own colour otherwise, -1
    // outside the image.
    std::int32_t Classify(std::int32_t column, std::int32_t row) const;
    bool Contains(std::int32_t column, std::int32_t row) const override;

private:
    const QImage& m_Image;
    std::uint32_t m_SeedColour;
    float m_ChromaThreshold;
    float m_HueTolerance;
};

enum class ETraceResult {
    Traced,         // the path holds the thinned outline, more than 2 points
    NotInRegion,    // the start pixel is not in the region
    TooSmall,       // 2 points or fewer remained (an isolated pixel, a thin line)
    StepLimit,      // the boundary never came back to its start within the step limit
};

// The steps a trace may take before it gives up: a boundary visits each pixel
// at most from each of its eight neighbours.
std::size_t TraceStepLimit(std::int32_t width, std::int32_t height);

// Walks from the start pixel to the region's upper-left edge, follows the
// boundary until it returns to where it began, and thins the path. The path
// receives the boundary (thinned when traced); it is empty for NotInRegion
// and StepLimit.
ETraceResult TraceRegion(const CPixelRegion& region, std::int32_t column, std::int32_t row,
                         std::size_t stepLimit, PixelPath& path);

// Thins a path in place: keeps its first and last points and every point that
// lies off the straight line between its kept neighbours. Points exactly on
// such a line (a straight run of pixels) are dropped.
void ReducePath(PixelPath& path);
