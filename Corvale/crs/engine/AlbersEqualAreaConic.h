#pragma once
// The AlbersEqualAreaConic module (CSYS_AlbersEqualAreaConic): the
// ellipsoidal Albers equal-area conic with two standard parallels, Snyder's
// formulas; the inverse refines the latitude from q by his iteration.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t AEA_LatitudeError = 0x0001;
constexpr std::uint32_t AEA_LongitudeError = 0x0002;
constexpr std::uint32_t AEA_EastingError = 0x0004;
constexpr std::uint32_t AEA_NorthingError = 0x0008; // also: the latitude iteration did not settle
constexpr std::uint32_t AEA_OriginLatitudeError = 0x0010;
constexpr std::uint32_t AEA_CentralMeridianError = 0x0020;
constexpr std::uint32_t AEA_SemiMajorAxisError = 0x0040;
constexpr std::uint32_t AEA_InverseFlatteningError = 0x0080;
constexpr std::uint32_t AEA_FirstParallelError = 0x0100;
constexpr std::uint32_t AEA_SecondParallelError = 0x0200;
constexpr std::uint32_t AEA_ZeroParallelsError = 0x0400;
constexpr std::uint32_t AEA_OppositeParallelsError = 0x0800;

std::uint32_t AlbersEqualAreaConicSetParameters(double a, double f, double originLatitude,
                                                double centralMeridian, double firstParallel,
                                                double secondParallel, double falseEasting,
                                                double falseNorthing);
void AlbersEqualAreaConicGetParameters(double& a, double& f, double& originLatitude,
                                       double& centralMeridian, double& firstParallel,
                                       double& secondParallel, double& falseEasting,
                                       double& falseNorthing);
std::uint32_t AlbersEqualAreaConicForward(double latitude, double longitude, double& easting,
                                          double& northing);
std::uint32_t AlbersEqualAreaConicInverse(double easting, double northing, double& latitude,
                                          double& longitude);
