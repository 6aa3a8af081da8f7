#include "raster/RasterTransformation.h"

#include "platform/Archive.h"
#include "platform/NumberText.h"
#include "shapes/FileWriter.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <istream>
#include <utility>

namespace {

// Pivots and determinants this much smaller than the numbers they came from
// are rounding noise: the system is singular and solving it gives garbage.
constexpr double kRelativeTolerance = 1e-12;

// No number of a world file is longer; a longer run of characters without a
// blank is not a world file, and reading it whole would only cost memory.
constexpr std::size_t kMaxNumberText = 64;

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The next run of characters without a blank; false at the end of the stream
// or for a run too long to be a number.
bool ReadToken(std::istream& in, std::string& token) {
    token.clear();
    std::istream::int_type c;
    const auto eof = std::istream::traits_type::eof();
    while ((c = in.get()) != eof && IsBlank(c)) {
    }
    while (c != eof && !IsBlank(c)) {
        if (token.size() == kMaxNumberText)
            return false;
        token.push_back(static_cast<char>(c));
        c = in.get();
    }
    return !token.empty();
}

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// A transformation whose determinant is 0 next to the products it is made of
// maps the image onto a line: it has no usable inverse.
bool IsNearlySingular(double a, double b, double d, double e) {
    const double det = a * e - b * d;
    return !std::isfinite(det) || std::fabs(det) <= kRelativeTolerance * (std::fabs(a * e) + std::fabs(b * d));
}

// Solves the 3 x 3 system m * p = rhs for two right-hand sides at once by
// Gaussian elimination with partial pivoting. A pivot that is not clearly
// larger than rounding noise of its column fails the solve: nearly singular
// normal equations would otherwise give coefficients of any size. On success
// rhs holds the solutions.
bool SolveNormalEquations(double m[3][3], double rhs[3][2]) {
    double scale[3];
    for (int k = 0; k < 3; ++k) {
        scale[k] = 0.0;
        for (int i = 0; i < 3; ++i)
            scale[k] = std::max(scale[k], std::fabs(m[i][k]));
        if (!(scale[k] > 0.0) || !std::isfinite(scale[k]))
            return false;
    }
    for (int k = 0; k < 3; ++k) {
        int pivot = k;
        for (int i = k + 1; i < 3; ++i) {
            if (std::fabs(m[i][k]) > std::fabs(m[pivot][k]))
                pivot = i;
        }
        if (!(std::fabs(m[pivot][k]) > kRelativeTolerance * scale[k]))
            return false;
        if (pivot != k) {
            std::swap(m[pivot], m[k]);
            std::swap(rhs[pivot], rhs[k]);
        }
        for (int i = k + 1; i < 3; ++i) {
            if (m[i][k] == 0.0)
                continue;
            const double factor = m[i][k] / m[k][k];
            m[i][k] = 0.0;
            for (int j = k + 1; j < 3; ++j)
                m[i][j] -= factor * m[k][j];
            for (int q = 0; q < 2; ++q)
                rhs[i][q] -= factor * rhs[k][q];
        }
    }
    for (int k = 2; k >= 0; --k) {
        for (int q = 0; q < 2; ++q) {
            double sum = rhs[k][q];
            for (int j = k + 1; j < 3; ++j)
                sum -= m[k][j] * rhs[j][q];
            rhs[k][q] = sum / m[k][k];
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (!AllFinite({rhs[k][0], rhs[k][1]}))
            return false;
    }
    return true;
}

} // namespace

void VectorToPolar(double x, double y, double& length, double& angle) {
    length = std::hypot(x, y);
    // atan2 gives the same direction as the arc sine of y / length mirrored for
    // negative x, without the arc sine's NaN when rounding puts y / length a
    // hair above 1.
    angle = (x == 0.0 && y == 0.0) ? 0.0 : std::atan2(y, x);
}

CRasterTransformation::CRasterTransformation() { UpdateCofactors(); }

CRasterTransformation::CRasterTransformation(double a, double b, double c, double d, double e, double f) {
    Set(a, b, c, d, e, f);
}

CRasterTransformation::~CRasterTransformation() = default;

void CRasterTransformation::Set(double a, double b, double c, double d, double e, double f) {
    m_A = a;
    m_B = b;
    m_C = c;
    m_D = d;
    m_E = e;
    m_F = f;
    UpdateCofactors();
}

void CRasterTransformation::SetCoefficients(const CRasterTransformation& other) {
    if (&other == this)
        return;
    Set(other.m_A, other.m_B, other.m_C, other.m_D, other.m_E, other.m_F);
}

void CRasterTransformation::UpdateCofactors() {
    m_K1 = m_B * m_F - m_C * m_E;
    m_K2 = m_A * m_F - m_C * m_D;
    m_K3 = m_A * m_E - m_B * m_D;
}

CShapePoint CRasterTransformation::PixelToWorld(double column, double row) const {
    return CShapePoint{m_A * column + m_B * row + m_C, m_D * column + m_E * row + m_F};
}

bool CRasterTransformation::WorldToPixel(double x, double y, double& column, double& row) const {
    if (m_K3 == 0.0)
        return false;
    column = (m_E * x - m_B * y + m_K1) / m_K3;
    row = (m_A * y - m_D * x - m_K2) / m_K3;
    return true;
}

bool CRasterTransformation::ReadWorldFile(std::istream& in) {
    // World-file order: A, D, B, E, C, F.
    double numbers[6];
    std::string token;
    for (int i = 0; i < 6; ++i) {
        if (!ReadToken(in, token))
            return false;
        // Whatever follows the last number on its line was never read as part
        // of the file (number extraction stops where the number ends), and
        // files with such a tail exist; between numbers it is a damaged file.
        if (i == 5)
            token.erase(std::min(token.size(), token.find_first_not_of("0123456789+-.eE")));
        if (!corvale::ParseDouble(token, numbers[i]) || !std::isfinite(numbers[i]))
            return false;
    }
    const CRasterTransformation read(numbers[0], numbers[2], numbers[4], numbers[1], numbers[3], numbers[5]);
    // A degenerate transformation must not enter from a file: nothing could be
    // mapped back to its pixels.
    if (read.m_K3 == 0.0 || !std::isfinite(read.m_K3) || !std::isfinite(read.m_K1) || !std::isfinite(read.m_K2))
        return false;
    SetCoefficients(read);
    return true;
}

void CRasterTransformation::FormatWorldFile(std::string& out) const {
    out.clear();
    for (double value : {m_A, m_D, m_B, m_E, m_C, m_F}) {
        out += corvale::FormatFixed(value, 6);
        out += "\r\n";
    }
}

bool CRasterTransformation::WriteWorldFile(const std::string& path) const {
    std::string text;
    FormatWorldFile(text);
    return WriteWholeFile(path, text);
}

void CRasterTransformation::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        for (double value : {m_A, m_D, m_B, m_E, m_C, m_F})
            ar.WriteF64(value);
        return;
    }
    double numbers[6];
    for (double& number : numbers)
        number = ar.ReadF64();
    for (double number : numbers) {
        if (!std::isfinite(number))
            throw CArchiveException(CArchiveException::BadData, "A raster transformation holds a number that is not finite.");
    }
    Set(numbers[0], numbers[2], numbers[4], numbers[1], numbers[3], numbers[5]);
}

bool CRasterTransformation::Rotate(double angle) {
    if (!std::isfinite(angle))
        return false;
    // The image turns on the map, so the two axis vectors in map units turn:
    // the column axis (A, D) and the row axis (B, E). Turning the matrix rows
    // (A, B) and (D, E) instead gives the same for square pixels but shears an
    // image whose pixels are not square.
    double length1 = 0.0, angle1 = 0.0, length2 = 0.0, angle2 = 0.0;
    VectorToPolar(m_A, m_D, length1, angle1);
    VectorToPolar(m_B, m_E, length2, angle2);
    angle1 -= angle;
    angle2 -= angle;
    Set(length1 * std::cos(angle1), length2 * std::cos(angle2), m_C, length1 * std::sin(angle1),
        length2 * std::sin(angle2), m_F);
    return true;
}

bool CRasterTransformation::SetFromExtent(unsigned width, unsigned height, const RasterRect& rect, double angle) {
    if (width == 0 || height == 0 || !AllFinite({rect.x1, rect.y1, rect.x2, rect.y2}))
        return false;
    double b = 0.0;
    double d = 0.0;
    if (angle != 0.0) {
        CRasterTransformation rotated;
        if (!rotated.Rotate(angle))
            return false;
        b = rotated.m_B;
        d = rotated.m_D;
    }
    const double a = std::fabs(rect.x2 - rect.x1) / width;
    const double e = -(std::fabs(rect.y2 - rect.y1) / height);
    if (!AllFinite({a, e}) || IsNearlySingular(a, b, d, e))
        return false;
    Set(a, b, rect.x1, d, e, rect.y2);
    return true;
}

bool CRasterTransformation::FitFromControlPoints(const std::vector<RasterPixelPoint>& pixels,
                                                 const std::vector<CShapePoint>& world,
                                                 CRasterTransformation& out) {
    const std::size_t n = pixels.size();
    if (n < 2 || n != world.size())
        return false;

    double a = 0.0, b = 0.0, c = 0.0, d = 0.0, e = 0.0, f = 0.0;
    if (n == 2) {
        // Two points fix a scale and an offset per axis, no rotation.
        const double c0 = pixels[0].column, c1 = pixels[1].column;
        const double r0 = pixels[0].row, r1 = pixels[1].row;
        const CShapePoint& w0 = world[0];
        const CShapePoint& w1 = world[1];
        if (c0 == c1 || r0 == r1 || w0.x == w1.x || w0.y == w1.y)
            return false;
        a = (w0.x - w1.x) / (c0 - c1);
        e = (w0.y - w1.y) / (r0 - r1);
        c = w0.x - c0 * a;
        f = w0.y - r0 * e;
    } else {
        // Least squares: the normal equations of the design matrix whose rows
        // are (column, row, 1), once for the world x values (A, B, C) and once
        // for the world y values (D, E, F). The pixel and world positions are
        // taken relative to their means first: control points far from the
        // image's corner would otherwise make the normal equations so badly
        // conditioned that good points fail the tolerance below. The
        // least-squares solution is the same.
        double meanC = 0.0, meanR = 0.0, meanX = 0.0, meanY = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            meanC += pixels[i].column;
            meanR += pixels[i].row;
            meanX += world[i].x;
            meanY += world[i].y;
        }
        const double count = static_cast<double>(n);
        meanC /= count;
        meanR /= count;
        meanX /= count;
        meanY /= count;
        if (!AllFinite({meanX, meanY}))
            return false;

        double m[3][3] = {};
        double rhs[3][2] = {};
        for (std::size_t i = 0; i < n; ++i) {
            const double row[3] = {pixels[i].column - meanC, pixels[i].row - meanR, 1.0};
            const double t[2] = {world[i].x - meanX, world[i].y - meanY};
            for (int j = 0; j < 3; ++j) {
                for (int k = 0; k < 3; ++k)
                    m[j][k] += row[j] * row[k];
                rhs[j][0] += row[j] * t[0];
                rhs[j][1] += row[j] * t[1];
            }
        }
        if (!SolveNormalEquations(m, rhs))
            return false;
        a = rhs[0][0];
        b = rhs[1][0];
        d = rhs[0][1];
        e = rhs[1][1];
        // Back from the means to the top-left pixel.
        c = meanX + rhs[2][0] - a * meanC - b * meanR;
        f = meanY + rhs[2][1] - d * meanC - e * meanR;
    }
    if (!AllFinite({a, b, c, d, e, f}) || IsNearlySingular(a, b, d, e))
        return false;
    Set(a, b, c, d, e, f);
    out.SetCoefficients(*this);
    return true;
}
