#pragma once
// The coordinate-conversion engine: one coordinate at a time between any two
// of 35 coordinate-system types, each on its own datum.
//
// Plain procedures over process-wide state, used from the user-interface
// thread only. There are two independent conversion slots ("states", 0 and
// 1), each with an input side (direction 0) and an output side (direction 1).
// A caller selects each side's datum, type and parameters, sets the input
// coordinates, calls GeoEngineConvert and reads the output coordinates.
// GeoEngineSetSystem resets a side's parameters and coordinates to the type's
// defaults, so parameters are set after the type.
//
// Every operation returns the engine error word GEE_* (0 = success) except
// GeoEngineConvert, which returns its result code GEC_* once its arguments
// have passed the engine's checks. Angles are radians, lengths metres.

#include <cstddef>
#include <cstdint>
#include <string_view>

// Coordinate-system types.
enum CoordinateSystemType : std::uint32_t {
    CSYS_Geodetic = 0,
    CSYS_Georef = 1,
    CSYS_Gars = 2,
    CSYS_Geocentric = 3,
    CSYS_LocalCartesian = 4,
    CSYS_Mgrs = 5,
    CSYS_Usng = 6,
    CSYS_Utm = 7,
    CSYS_Ups = 8,
    CSYS_AlbersEqualAreaConic = 9,
    CSYS_AzimuthalEquidistant = 10,
    CSYS_BritishNationalGrid = 11,
    CSYS_Bonne = 12,
    CSYS_Cassini = 13,
    CSYS_CylindricalEqualArea = 14,
    CSYS_EckertIV = 15,
    CSYS_EckertVI = 16,
    CSYS_EquidistantCylindrical = 17,
    CSYS_Gnomonic = 18,
    CSYS_LambertConformalConic1 = 19,
    CSYS_LambertConformalConic2 = 20,
    CSYS_Mercator = 21,
    CSYS_MillerCylindrical = 22,
    CSYS_Mollweide = 23,
    CSYS_Neys = 24,
    CSYS_NewZealandMapGrid = 25,
    CSYS_ObliqueMercator = 26,
    CSYS_Orthographic = 27,
    CSYS_PolarStereographic = 28,
    CSYS_Polyconic = 29,
    CSYS_Sinusoidal = 30,
    CSYS_Stereographic = 31,
    CSYS_TransverseCylindricalEqualArea = 32,
    CSYS_TransverseMercator = 33,
    CSYS_VanDerGrinten = 34,
};
constexpr std::uint32_t kCoordinateSystemTypeCount = 35;

// Engine error word.
constexpr std::uint32_t GEE_NotInitialized = 0x00000010;
constexpr std::uint32_t GEE_DatumError = 0x00000040;
constexpr std::uint32_t GEE_InvalidType = 0x00000400;
constexpr std::uint32_t GEE_InvalidDirection = 0x00000800;
constexpr std::uint32_t GEE_InvalidState = 0x00001000;
constexpr std::uint32_t GEE_InvalidDatumIndex = 0x00002000;
constexpr std::uint32_t GEE_InvalidCode = 0x00004000;

// Status bits of a side, set by the last conversion.
constexpr std::uint32_t GES_OriginLatitudeError = 0x00000001;
constexpr std::uint32_t GES_CentralMeridianError = 0x00000002;
constexpr std::uint32_t GES_EastingError = 0x00000004;
constexpr std::uint32_t GES_NorthingError = 0x00000008;
constexpr std::uint32_t GES_RadiusError = 0x00000010;
constexpr std::uint32_t GES_HemisphereError = 0x00000020;
constexpr std::uint32_t GES_ScaleFactorError = 0x00000040;
constexpr std::uint32_t GES_LongitudeWarning = 0x00000080;
constexpr std::uint32_t GES_GridWarning = 0x00000100;
constexpr std::uint32_t GES_OriginLongitudeError = 0x00000200;
constexpr std::uint32_t GES_DatumAreaWarning = 0x00000400;
constexpr std::uint32_t GES_FirstStandardParallelError = 0x00000800;
constexpr std::uint32_t GES_SecondStandardParallelError = 0x00001000;
constexpr std::uint32_t GES_StandardParallelsError = 0x00002000;
constexpr std::uint32_t GES_ZoneError = 0x00004000;
constexpr std::uint32_t GES_ZoneOverrideError = 0x00008000;
constexpr std::uint32_t GES_StringError = 0x00010000;
constexpr std::uint32_t GES_LongitudeMinutesError = 0x00020000;
constexpr std::uint32_t GES_LatitudeMinutesError = 0x00040000;
constexpr std::uint32_t GES_StandardParallelError = 0x00080000;
constexpr std::uint32_t GES_OppositePointError = 0x00100000;
constexpr std::uint32_t GES_Latitude1Error = 0x00200000;
constexpr std::uint32_t GES_Longitude1Error = 0x00400000;
constexpr std::uint32_t GES_Latitude2Error = 0x00800000;
constexpr std::uint32_t GES_Longitude2Error = 0x01000000;
constexpr std::uint32_t GES_EqualLatitudesError = 0x02000000;
constexpr std::uint32_t GES_GridAreaError = 0x04000000;
constexpr std::uint32_t GES_EllipsoidError = 0x08000000;
constexpr std::uint32_t GES_LatitudeError = 0x10000000;
constexpr std::uint32_t GES_LongitudeError = 0x20000000;
constexpr std::uint32_t GES_SemiMajorAxisError = 0x40000000;
constexpr std::uint32_t GES_InverseFlatteningError = 0x80000000;

// Result code of GeoEngineConvert.
constexpr std::uint32_t GEC_InputWarning = 1;
constexpr std::uint32_t GEC_InputError = 2;
constexpr std::uint32_t GEC_OutputWarning = 4;
constexpr std::uint32_t GEC_OutputError = 8;

// Height types of the geodetic parameter record.
constexpr std::uint32_t GEH_NoHeight = 0;          // the height is forced to 0
constexpr std::uint32_t GEH_EllipsoidHeight = 1;
// 2 to 5: heights above mean sea level through the geoid models
// (crs/engine/Geoid.h). Until the geoid grids are loaded such a height is
// passed through unconverted and the output status gets GES_GridAreaError.
constexpr std::uint32_t GEH_Egm96 = 2;
constexpr std::uint32_t GEH_Egm96Spline = 3;
constexpr std::uint32_t GEH_Egm84 = 4;
constexpr std::uint32_t GEH_Egm84Spline = 5;
constexpr std::uint32_t GEH_LastGeoidHeight = 5;

// Parameter records.
struct GeodeticParameters {
    std::uint32_t heightType;
};
struct MercatorParameters {
    double originLatitude;
    double centralMeridian;
    double scaleFactor;
    double falseEasting;
    double falseNorthing;
};
struct TransverseMercatorParameters {
    double originLatitude;
    double centralMeridian;
    double scaleFactor;
    double falseEasting;
    double falseNorthing;
};
struct LocalCartesianParameters {
    double originLatitude;
    double originLongitude;
    double originHeight;
    double orientation;
};
struct UtmParameters {
    std::int32_t zone;
    std::int32_t zoneOverride;
};
union GeoEngineParameters {
    GeodeticParameters geodetic;
    MercatorParameters mercator;
    TransverseMercatorParameters transverseMercator;
    LocalCartesianParameters localCartesian;
    UtmParameters utm;
    double values[8];   // the largest record of any type
};

// Coordinate records.
struct GeodeticCoordinates {
    double longitude;
    double latitude;
    double height;
};
struct ProjectedCoordinates {
    double easting;
    double northing;
};
struct CartesianCoordinates {
    double x;
    double y;
    double z;
};
struct UtmCoordinates {
    double easting;
    double northing;
    std::int32_t zone;
    char hemisphere;
};
struct UpsCoordinates {
    char hemisphere;
    double easting;
    double northing;
};
union GeoEngineCoordinates {
    GeodeticCoordinates geodetic;
    ProjectedCoordinates projected;
    CartesianCoordinates cartesian;
    UtmCoordinates utm;
    UpsCoordinates ups;
    char text[24];      // grid strings, NUL-terminated
    double values[3];
};

// One side of one conversion slot.
struct GeoEngineState {
    std::uint32_t datumIndex;   // 1-based position in the datum table
    std::uint32_t status;       // GES_* bits of the last conversion
    GeoEngineParameters parameters;
    GeoEngineCoordinates coordinates;
    std::uint32_t type;         // CSYS_*
};

std::uint32_t GeoEngineInitialize();

bool GeoEngineIsValidSelector(int value);
bool GeoEngineIsValidDatumIndex(std::uint32_t index);

// Catalogue name and two-letter code of a type.
std::uint32_t GeoEngineGetSystemName(std::uint32_t type, std::string_view& name, std::string_view& code);

std::uint32_t GeoEngineSetSystem(int state, int direction, std::uint32_t type);
std::uint32_t GeoEngineGetDatumIndex(std::string_view code, std::uint32_t& index);
std::uint32_t GeoEngineSetDatum(int state, int direction, std::uint32_t index);
// A copy of one side, its status words included.
std::uint32_t GeoEngineGetState(int state, int direction, GeoEngineState& side);

std::uint32_t GeoEngineSetGeodeticParameters(int state, int direction, std::uint32_t heightType);
std::uint32_t GeoEngineSetGeodeticCoordinates(int state, int direction, double longitude, double latitude,
                                              double height);
std::uint32_t GeoEngineGetGeodeticCoordinates(int state, int direction, GeodeticCoordinates& coordinates);

std::uint32_t GeoEngineSetGeocentricCoordinates(int state, int direction, double x, double y, double z);
std::uint32_t GeoEngineGetGeocentricCoordinates(int state, int direction, CartesianCoordinates& coordinates);

std::uint32_t GeoEngineSetLocalCartesianParameters(int state, int direction, double originLatitude,
                                                   double originLongitude, double originHeight,
                                                   double orientation);
std::uint32_t GeoEngineSetLocalCartesianCoordinates(int state, int direction, double x, double y, double z);
std::uint32_t GeoEngineGetLocalCartesianCoordinates(int state, int direction,
                                                    CartesianCoordinates& coordinates);

std::uint32_t GeoEngineSetMercatorParameters(int state, int direction, double originLatitude,
                                             double centralMeridian, double scaleFactor,
                                             double falseEasting, double falseNorthing);
std::uint32_t GeoEngineSetMercatorCoordinates(int state, int direction, double easting, double northing);
std::uint32_t GeoEngineGetMercatorCoordinates(int state, int direction, ProjectedCoordinates& coordinates);

std::uint32_t GeoEngineSetTransverseMercatorParameters(int state, int direction, double originLatitude,
                                                       double centralMeridian, double scaleFactor,
                                                       double falseEasting, double falseNorthing);
std::uint32_t GeoEngineSetTransverseMercatorCoordinates(int state, int direction, double easting,
                                                        double northing);
std::uint32_t GeoEngineGetTransverseMercatorCoordinates(int state, int direction,
                                                        ProjectedCoordinates& coordinates);

// UTM: the zone of the parameter record is passed to the module as its
// override only when the override flag is not 0.
std::uint32_t GeoEngineSetUtmParameters(int state, int direction, std::int32_t zone, std::int32_t zoneOverride);
std::uint32_t GeoEngineSetUtmCoordinates(int state, int direction, double easting, double northing,
                                         std::int32_t zone, char hemisphere);
std::uint32_t GeoEngineGetUtmCoordinates(int state, int direction, UtmCoordinates& coordinates);

std::uint32_t GeoEngineSetUpsCoordinates(int state, int direction, char hemisphere, double easting,
                                         double northing);
std::uint32_t GeoEngineGetUpsCoordinates(int state, int direction, UpsCoordinates& coordinates);

// The projection types other than Mercator and Transverse Mercator share
// one set of operations, naming the type: its parameter record holds the
// type's parameters in its module's order (angles in radians), count values;
// its coordinates are an easting and a northing. A side of another type, a
// type without a module in this build or a wrong count gives GEE_InvalidType.
std::uint32_t GeoEngineSetProjectionParameters(int state, int direction, std::uint32_t type, const double* values,
                                               std::size_t count);
std::uint32_t GeoEngineGetProjectionParameters(int state, int direction, std::uint32_t type, double* values,
                                               std::size_t count);
std::uint32_t GeoEngineSetProjectedCoordinates(int state, int direction, std::uint32_t type, double easting,
                                               double northing);
std::uint32_t GeoEngineGetProjectedCoordinates(int state, int direction, std::uint32_t type,
                                               ProjectedCoordinates& coordinates);

// Grid strings of MGRS, USNG, GARS, GEOREF and the British National Grid,
// NUL-terminated; a longer string than the record holds is refused with
// GEE_InvalidCode. (NZMG coordinates are an easting and a northing, set and
// read with the projected-coordinate operations.)
constexpr std::size_t kGridTextSize = sizeof(GeoEngineCoordinates::text);
std::uint32_t GeoEngineSetGridCoordinates(int state, int direction, std::uint32_t type,
                                          std::string_view text);
std::uint32_t GeoEngineGetGridCoordinates(int state, int direction, std::uint32_t type,
                                          char (&text)[kGridTextSize]);
// The precision of the grid strings the engine writes (5 from the start),
// held to 0..5 where a string is made: 0 names the 100 km square (MGRS,
// USNG, BNG), the 30-minute cell (GARS) or the degree (GEOREF), 5 the metre
// or the thousandth of a minute.
std::uint32_t GeoEngineSetGridPrecision(int precision);

// Converts the input coordinates of a slot into its output coordinates.
// Returns GEE_NotInitialized / GEE_InvalidState before converting anything;
// GEE_InvalidType, with nothing changed, when either side's type has no
// module in this build;
// otherwise the GEC_* result code.
std::uint32_t GeoEngineConvert(int state);
