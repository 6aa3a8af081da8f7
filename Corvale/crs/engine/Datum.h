#pragma once
// The engine's datum module: the table of datums, look-ups by code and index,
// the shifts between any datum and WGS 84, the datum-area test and the
// estimate of a shift's accuracy.
//
// The table is built once per process (DatumInitialize, which also builds the
// ellipsoid table it rests on) and is read-only afterwards. Indices are
// 1-based. Angles are radians, lengths metres. Every operation returns an
// error word, 0 for success.

#include <cstdint>
#include <string>
#include <string_view>

constexpr std::uint32_t DTM_NotInitialized = 0x0001;
constexpr std::uint32_t DTM_InvalidIndex = 0x0080;        // index outside 1..count
constexpr std::uint32_t DTM_InvalidSourceIndex = 0x0100;  // the datum shifted from
constexpr std::uint32_t DTM_InvalidTargetIndex = 0x0200;  // the datum shifted to
constexpr std::uint32_t DTM_InvalidCode = 0x0400;         // no row with that code
constexpr std::uint32_t DTM_LatitudeError = 0x0800;       // outside -pi/2..pi/2
constexpr std::uint32_t DTM_LongitudeError = 0x1000;      // outside -pi..2*pi
constexpr std::uint32_t DTM_EllipsoidError = 0x8000;      // the datum's ellipsoid is not in the table
// A height, X, Y or Z that is not a finite number.
constexpr std::uint32_t DTM_CoordinateError = 0x10000;

enum DatumType : std::uint32_t {
    DT_ThreeParameter = 0,
    DT_SevenParameter = 1,
    DT_Wgs84 = 2,
    DT_Wgs72 = 3,
};

// Published seven-parameter sets give their rotations for one of two
// rotations of the axes; the two differ in the sign of all three angles.
enum DatumRotationConvention : std::uint32_t {
    DRC_CoordinateFrame = 0,   // X' = X + rz Y - ry Z, ...
    DRC_PositionVector = 1,    // X' = X - rz Y + ry Z, ...
};

struct DatumRecord {
    DatumType type;
    std::string code;            // at most 23 characters
    std::string name;
    std::string ellipsoidCode;   // two letters
    double dx, dy, dz;           // m
    double rx, ry, rz;           // radians, in the row's convention
    double scale;                // scale difference, unitless
    double sigmaX, sigmaY, sigmaZ;   // m, accuracy of the shift
    double west, east, south, north; // area of use, radians
    std::uint32_t userDefined;
    DatumRotationConvention rotationConvention;
};

std::uint32_t DatumInitialize();
std::uint32_t DatumGetCount(std::uint32_t& count);
// The code is upper-cased and every blank removed; index is 0 on failure.
std::uint32_t DatumGetIndex(std::string_view code, std::uint32_t& index);
std::uint32_t DatumGetRecord(std::uint32_t index, DatumRecord& record);
std::uint32_t DatumGetEllipsoidCode(std::uint32_t index, std::string& code);
// a and f of the datum's ellipsoid, resolved once when the table is built.
std::uint32_t DatumGetEllipsoidParameters(std::uint32_t index, double& a, double& f);
// inside is 1 when the point lies in the datum's area, else 0.
std::uint32_t DatumValidPoint(std::uint32_t index, double latitude, double longitude, int& inside);

std::uint32_t DatumShiftToWgs84(std::uint32_t index, double latitude, double longitude, double height,
                                double& wgsLatitude, double& wgsLongitude, double& wgsHeight);
std::uint32_t DatumShiftFromWgs84(double wgsLatitude, double wgsLongitude, double wgsHeight,
                                  std::uint32_t index, double& latitude, double& longitude,
                                  double& height);
std::uint32_t DatumGeocentricShiftToWgs84(std::uint32_t index, double x, double y, double z,
                                          double& wgsX, double& wgsY, double& wgsZ);
std::uint32_t DatumGeocentricShiftFromWgs84(std::uint32_t index, double wgsX, double wgsY, double wgsZ,
                                            double& x, double& y, double& z);

// Circular, linear and spherical errors at 90 per cent (m, -1 unknown), passed
// in and out: the errors of the shift from the input datum to the output
// datum are added to them.
std::uint32_t DatumShiftAccuracy(std::uint32_t inputIndex, std::uint32_t outputIndex, double latitude,
                                 double longitude, double& ce90, double& le90, double& se90);
