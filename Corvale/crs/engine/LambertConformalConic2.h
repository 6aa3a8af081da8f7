#pragma once
// The LambertConformalConic2 module (CSYS_LambertConformalConic2): the
// Lambert conformal conic with two standard parallels, reduced to the
// equivalent one-parallel cone and run by LambertConformalConic1 (whose
// parameters every operation here replaces). Ney's module drives this one.
//
// Module state is process-wide; the last successful set-parameters call wins.

#include <cstdint>

constexpr std::uint32_t LCC2_LatitudeError = 0x0001;
constexpr std::uint32_t LCC2_LongitudeError = 0x0002;
constexpr std::uint32_t LCC2_EastingError = 0x0004;
constexpr std::uint32_t LCC2_NorthingError = 0x0008;
constexpr std::uint32_t LCC2_FirstParallelError = 0x0010;
constexpr std::uint32_t LCC2_SecondParallelError = 0x0020;
constexpr std::uint32_t LCC2_OriginLatitudeError = 0x0040;
constexpr std::uint32_t LCC2_CentralMeridianError = 0x0080;
constexpr std::uint32_t LCC2_SemiMajorAxisError = 0x0100;
constexpr std::uint32_t LCC2_InverseFlatteningError = 0x0200;
constexpr std::uint32_t LCC2_OppositeParallelsError = 0x0400;
constexpr std::uint32_t LCC2_ZeroParallelsError = 0x0800;
constexpr std::uint32_t LCC2_ScaleFactorError = 0x1000; // the derived one-parallel scale factor

std::uint32_t LambertConformalConic2SetParameters(double a, double f, double originLatitude,
                                                  double centralMeridian, double firstParallel,
                                                  double secondParallel, double falseEasting,
                                                  double falseNorthing);
void LambertConformalConic2GetParameters(double& a, double& f, double& originLatitude,
                                         double& centralMeridian, double& firstParallel,
                                         double& secondParallel, double& falseEasting,
                                         double& falseNorthing);
std::uint32_t LambertConformalConic2Forward(double latitude, double longitude, double& easting,
                                            double& northing);
std::uint32_t LambertConformalConic2Inverse(double easting, double northing, double& latitude,
                                            double& longitude);
