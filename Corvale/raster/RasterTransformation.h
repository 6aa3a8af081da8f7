#pragma once
// The affine placement of a raster image's pixels in map units: the six
// numbers of a world file.
//
// A pixel's centre at column c, row r (counted from 0 at the top-left pixel)
// lies at x = A*c + B*r + C, y = D*c + E*r + F. World files, transformation
// parameter files and workspaces keep the six numbers in the order
// A, D, B, E, C, F.
//
// The cofactors K1 = B*F - C*E, K2 = A*F - C*D and the determinant
// K3 = A*E - B*D make the inverse cheap:
//   c = (E*x - B*y + K1) / K3,  r = (A*y - D*x - K2) / K3.
// The coefficients can only be changed through the members below, so the
// cofactors are never stale.

#include "shapes/ShapeRecord.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class CArchive;

// A rectangle in map units given by two corners in any order. The raster code
// reads (x1, y2) as the north-western corner where the order matters.
struct RasterRect {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

// A pixel position of a control point, counted from 0 at the top-left pixel.
struct RasterPixelPoint {
    std::int32_t column = 0;
    std::int32_t row = 0;
};

class CRasterTransformation {
public:
    // The transformation a fresh raster starts with: one map unit per pixel,
    // the centre of the top-left pixel at (0, 0), rows running towards -y.
    CRasterTransformation();
    CRasterTransformation(double a, double b, double c, double d, double e, double f);
    virtual ~CRasterTransformation();

    CRasterTransformation(const CRasterTransformation&) = default;
    CRasterTransformation& operator=(const CRasterTransformation&) = default;

    void Set(double a, double b, double c, double d, double e, double f);
    // Copies A to F of another transformation; nothing when it is this one.
    void SetCoefficients(const CRasterTransformation& other);

    double GetA() const { return m_A; }
    double GetB() const { return m_B; }
    double GetC() const { return m_C; }
    double GetD() const { return m_D; }
    double GetE() const { return m_E; }
    double GetF() const { return m_F; }
    double GetK1() const { return m_K1; }
    double GetK2() const { return m_K2; }
    double GetK3() const { return m_K3; }

    // Pixel position (fractions allowed) to map coordinates.
    CShapePoint PixelToWorld(double column, double row) const;
    // Map coordinates to a pixel position; false, leaving the outputs alone,
    // when the determinant is 0 and there is no inverse.
    bool WorldToPixel(double x, double y, double& column, double& row) const;

    // Reads six numbers in world-file order, separated by blanks or line ends
    // of any kind; the sixth may end the file without a line end. The numbers
    // are read with a decimal point whatever the locale. False, with the
    // transformation unchanged, when six finite numbers cannot be read or they
    // give a determinant of 0 (or one too large for a double).
    bool ReadWorldFile(std::istream& in);
    // The six numbers in world-file order, six decimals each, every one
    // followed by CR LF; always with a decimal point.
    void FormatWorldFile(std::string& out) const;
    // Writes FormatWorldFile's text to path through a temporary file, so a
    // failed write leaves any file already there as it was.
    bool WriteWorldFile(const std::string& path) const;

    // Stores or loads A, D, B, E, C, F as f64. Loading throws
    // CArchiveException: EndOfFile for truncated data, BadData for a number
    // that is not finite (nothing is changed then).
    void Serialize(CArchive& ar);

    // Rotates the image about the centre of its top-left pixel, which stays
    // where it is (C and F are kept). False, with nothing changed, for an
    // angle that is not a finite number.
    bool Rotate(double angle);

    // Fits the transformation to a rectangle for an image of width x height
    // pixels: x1 is taken as the western edge and y2 as the northern edge
    // (they become C and F), and a non-zero angle adds the rotation's B and D.
    // False, with nothing changed, for a zero width or height, or when the
    // result has no inverse (a rectangle of zero width or height).
    bool SetFromExtent(unsigned width, unsigned height, const RasterRect& rect, double angle);

    // Fits A to F to control points: two points give scale and offset without
    // rotation, three or more a least-squares affine fit. On success this
    // transformation and out both receive the result. False, with neither
    // changed, when there are fewer than two points, the counts differ, two
    // points share a column, row, world x or world y, the pixel positions lie
    // on one line (or so nearly that the fit would be noise), or the fitted
    // transformation has no usable inverse.
    bool FitFromControlPoints(const std::vector<RasterPixelPoint>& pixels,
                              const std::vector<CShapePoint>& world, CRasterTransformation& out);

private:
    void UpdateCofactors();

    double m_A = 1.0;
    double m_B = 0.0;
    double m_C = 0.0;
    double m_D = 0.0;
    double m_E = -1.0;
    double m_F = 0.0;
    double m_K1 = 0.0;
    double m_K2 = 0.0;
    double m_K3 = -1.0;
};

// Length and direction of a vector: length * cos(angle) and length * sin(angle)
// give x and y back. The zero vector has length and angle 0.
void VectorToPolar(double x, double y, double& length, double& angle);
