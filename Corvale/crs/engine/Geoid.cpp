#include "crs/engine/Geoid.h"

#include "crs/engine/EngineMath.h"

#include <cmath>
#include <vector>

using namespace geoengine;

namespace {

struct GeoidState {
    std::uint32_t initialized = 0;
    std::vector<float> egm96;
    std::vector<float> egm84;
};

GeoidState g_state;

constexpr double kDegree = kPi / 180.0;

// The cell of a point: its north-west post and the point's place in it.
struct Cell {
    int row;
    int column;
    double x; // 0 at the west edge, 1 at the east
    double y; // 0 at the south edge, 1 at the north
};

std::uint32_t Locate(double latitude, double longitude, double spacing, int postsPerRow, int rows,
                     Cell& cell) {
    if (!g_state.initialized)
        return GEOID_NotInitialized;
    if (!IsLatitudeInRange(latitude) || !IsLongitudeInRange(longitude))
        return GEOID_RangeError;
    const double lat = latitude / kDegree;
    double lon = longitude / kDegree;
    if (lon < 0.0)
        lon += 360.0;
    int column = static_cast<int>(lon / spacing);
    int row = static_cast<int>((90.0 - lat) / spacing + 1.0e-11);
    // The last post of a row or column has no cell east or south of it.
    if (column >= postsPerRow - 1)
        column = postsPerRow - 2;
    if (row >= rows - 1)
        row = rows - 2;
    const double north = 90.0 - row * spacing;
    const double south = north - spacing;
    const double west = column * spacing;
    cell = {row, column, (lon - west) / spacing, (lat - south) / spacing};
    return 0;
}

// One post, its index held inside the grid.
double Post(const float* grid, int postsPerRow, int rows, long row, long column) {
    long index = row * postsPerRow + column;
    const long last = static_cast<long>(postsPerRow) * rows - 1;
    if (index < 0)
        index = 0;
    if (index > last)
        index = last;
    return grid[index];
}

// The natural cubic spline through four equally spaced values, at t between
// the middle two (0 at the second value, 1 at the third).
double Spline4(const double (&v)[4], double t) {
    const double r1 = 6.0 * (v[0] - 2.0 * v[1] + v[2]);
    const double r2 = 6.0 * (v[1] - 2.0 * v[2] + v[3]);
    const double m1 = (4.0 * r1 - r2) / 15.0;
    const double m2 = (4.0 * r2 - r1) / 15.0;
    const double s = 1.0 - t;
    return s * v[1] + t * v[2] + (s * s * s - s) * m1 / 6.0 + (t * t * t - t) * m2 / 6.0;
}

using Interpolator = std::uint32_t (*)(double, double, double, int, int, const float*, double&);

std::uint32_t Separation(Interpolator interpolate, bool egm96, double latitude, double longitude,
                         double& n) {
    if (!g_state.initialized)
        return GEOID_NotInitialized;
    if (egm96)
        return interpolate(latitude, longitude, GEOID_Egm96Spacing, GEOID_Egm96PostsPerRow,
                           GEOID_Egm96Rows, g_state.egm96.data(), n);
    return interpolate(latitude, longitude, GEOID_Egm84Spacing, GEOID_Egm84PostsPerRow,
                       GEOID_Egm84Rows, g_state.egm84.data(), n);
}

std::uint32_t Convert(Interpolator interpolate, bool egm96, double sign, double latitude,
                      double longitude, double height, double& result) {
    double n = 0.0;
    const std::uint32_t flags = Separation(interpolate, egm96, latitude, longitude, n);
    result = flags ? height : height + sign * n;
    return flags;
}

} // namespace

bool GeoidInstallGrids(const float* egm96, std::size_t egm96Count, const float* egm84,
                       std::size_t egm84Count) {
    const std::size_t posts96 = static_cast<std::size_t>(GEOID_Egm96PostsPerRow) * GEOID_Egm96Rows;
    const std::size_t posts84 = static_cast<std::size_t>(GEOID_Egm84PostsPerRow) * GEOID_Egm84Rows;
    if (!egm96 || !egm84 || egm96Count != posts96 || egm84Count != posts84)
        return false;
    g_state.egm96.assign(egm96, egm96 + posts96);
    g_state.egm84.assign(egm84, egm84 + posts84);
    g_state.initialized = 1;
    return true;
}

void GeoidClearGrids() {
    g_state.initialized = 0;
    g_state.egm96.clear();
    g_state.egm84.clear();
}

std::uint32_t GeoidInterpolateBilinear(double latitude, double longitude, double spacing,
                                       int postsPerRow, int rows, const float* grid,
                                       double& separation) {
    Cell c{};
    if (const std::uint32_t flags = Locate(latitude, longitude, spacing, postsPerRow, rows, c))
        return flags;
    const double nw = Post(grid, postsPerRow, rows, c.row, c.column);
    const double ne = Post(grid, postsPerRow, rows, c.row, c.column + 1);
    const double sw = Post(grid, postsPerRow, rows, c.row + 1, c.column);
    const double se = Post(grid, postsPerRow, rows, c.row + 1, c.column + 1);
    separation = nw * (1.0 - c.x) * c.y + ne * c.x * c.y + sw * (1.0 - c.x) * (1.0 - c.y) +
                 se * c.x * (1.0 - c.y);
    return 0;
}

// A window of four by four posts around the cell: along each of its rows a
// spline in longitude, then one in latitude through those four values.
// Columns wrap around the globe (the last column repeats the first); rows
// stop at the poles, where the window repeats the edge row.
std::uint32_t GeoidInterpolateSpline(double latitude, double longitude, double spacing,
                                     int postsPerRow, int rows, const float* grid,
                                     double& separation) {
    Cell c{};
    if (const std::uint32_t flags = Locate(latitude, longitude, spacing, postsPerRow, rows, c))
        return flags;
    const int period = postsPerRow - 1;
    double alongRows[4];
    for (int i = 0; i < 4; ++i) {
        int row = c.row - 1 + i;
        if (row < 0)
            row = 0;
        if (row > rows - 1)
            row = rows - 1;
        double values[4];
        for (int j = 0; j < 4; ++j) {
            int column = c.column - 1 + j;
            if (column < 0)
                column += period;
            if (column > period)
                column -= period;
            values[j] = Post(grid, postsPerRow, rows, row, column);
        }
        alongRows[i] = Spline4(values, c.x);
    }
    // Rows run southwards: the north edge of the cell is the second value.
    separation = Spline4(alongRows, 1.0 - c.y);
    return 0;
}

std::uint32_t GeoidEllipsoidToMslEgm96(double latitude, double longitude, double height,
                                       double& result) {
    return Convert(GeoidInterpolateBilinear, true, -1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidEllipsoidToMslEgm96Spline(double latitude, double longitude, double height,
                                             double& result) {
    return Convert(GeoidInterpolateSpline, true, -1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidEllipsoidToMslEgm84(double latitude, double longitude, double height,
                                       double& result) {
    return Convert(GeoidInterpolateBilinear, false, -1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidEllipsoidToMslEgm84Spline(double latitude, double longitude, double height,
                                             double& result) {
    return Convert(GeoidInterpolateSpline, false, -1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidMslToEllipsoidEgm96(double latitude, double longitude, double height,
                                       double& result) {
    return Convert(GeoidInterpolateBilinear, true, 1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidMslToEllipsoidEgm96Spline(double latitude, double longitude, double height,
                                             double& result) {
    return Convert(GeoidInterpolateSpline, true, 1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidMslToEllipsoidEgm84(double latitude, double longitude, double height,
                                       double& result) {
    return Convert(GeoidInterpolateBilinear, false, 1.0, latitude, longitude, height, result);
}
std::uint32_t GeoidMslToEllipsoidEgm84Spline(double latitude, double longitude, double height,
                                             double& result) {
    return Convert(GeoidInterpolateSpline, false, 1.0, latitude, longitude, height, result);
}
