#include "crs/engine/GeoEngine.h"

#include "crs/engine/Datum.h"
#include "crs/engine/Ellipsoid.h"
#include "crs/engine/GeoEngineInternal.h"
#include "crs/engine/LocalCartesian.h"
#include "crs/engine/Mercator.h"
#include "crs/engine/ProjectionModules.h"
#include "crs/engine/TransverseMercator.h"

#include <cstring>

namespace geoengine {
EngineGlobals g_engine;

bool GeoEngineHasModule(std::uint32_t type) {
    switch (type) {
    case CSYS_Geodetic:
    case CSYS_Geocentric:
    case CSYS_LocalCartesian:
    case CSYS_Mercator:
    case CSYS_TransverseMercator:
    case CSYS_Utm:
    case CSYS_Ups:
    case CSYS_Mgrs:
    case CSYS_Usng:
    case CSYS_Gars:
    case CSYS_Georef:
    case CSYS_BritishNationalGrid:
    case CSYS_NewZealandMapGrid:
        return true;
    default:
        return FindProjectionModule(type) != nullptr;
    }
}
} // namespace geoengine

using namespace geoengine;

namespace {

struct CatalogueEntry {
    const char* name;
    const char* code;
};

const CatalogueEntry kCatalogue[kCoordinateSystemTypeCount] = {
    {"Geodetic", "GD"},
    {"GEOREF", "GE"},
    {"Global Area Reference System (GARS)", "GA"},
    {"Geocentric", "GC"},
    {"Local Cartesian", "LC"},
    {"Military Grid Reference System (MGRS)", "MG"},
    {"United States National Grid (USNG)", "US"},
    {"Universal Transverse Mercator (UTM)", "UT"},
    {"Universal Polar Stereographic (UPS)", "UP"},
    {"Albers Equal Area Conic", "AC"},
    {"Azimuthal Equidistant (S)", "AL"},
    {"British National Grid (BNG)", "BN"},
    {"Bonne", "BF"},
    {"Cassini", "CS"},
    {"Cylindrical Equal Area", "LI"},
    {"Eckert IV (S)", "EF"},
    {"Eckert VI (S)", "ED"},
    {"Equidistant Cylindrical (S)", "CP"},
    {"Gnomonic (S)", "GN"},
    {"Lambert Conformal Conic (1 parallel)", "L1"},
    {"Lambert Conformal Conic (2 parallel)", "L2"},
    {"Mercator", "MC"},
    {"Miller Cylindrical (S)", "MH"},
    {"Mollweide (S)", "MP"},
    {"Ney's (Modified Lambert Conformal Conic)", "NY"},
    {"New Zealand Map Grid (NZMG)", "NT"},
    {"Oblique Mercator", "OC"},
    {"Orthographic (S)", "OD"},
    {"Polar Stereographic", "PG"},
    {"Polyconic", "PH"},
    {"Sinusoidal", "SA"},
    {"Stereographic (S)", "SD"},
    {"Transverse Cylindrical Equal Area", "TX"},
    {"Transverse Mercator", "TC"},
    {"Van der Grinten", "VA"},
};

// Error bits that only initialisation can raise.
constexpr std::uint32_t kEllipsoidInitError1 = 0x00000020;
constexpr std::uint32_t kEllipsoidInitError4 = 0x00008000;
constexpr std::uint32_t kDatumInitError24 = 0x00000100;
constexpr std::uint32_t kDatumInitError48 = 0x00010000;

constexpr int kGridPrecision = 5;

void SetText(GeoEngineCoordinates& c, const char* text) {
    std::memset(c.text, 0, sizeof c.text);
    std::strncpy(c.text, text, sizeof c.text - 1);
}

// The checks every setter and getter runs first; their bits are OR-ed.
std::uint32_t CheckSide(int state, int direction) {
    std::uint32_t error = 0;
    if (!g_engine.initialized)
        error |= GEE_NotInitialized;
    if (!GeoEngineIsValidSelector(direction))
        error |= GEE_InvalidDirection;
    if (!GeoEngineIsValidSelector(state))
        error |= GEE_InvalidState;
    return error;
}

// Checks, then the side's type; returns the side through side on success.
std::uint32_t SideOfType(int state, int direction, std::uint32_t type, GeoEngineState*& side) {
    if (std::uint32_t error = CheckSide(state, direction))
        return error;
    side = &g_engine.states[state][direction];
    return side->type == type ? 0 : GEE_InvalidType;
}

void GeoEngineSetSystemDefaults() {
    for (SystemDefaults& d : g_engine.defaults)
        std::memset(&d, 0, sizeof d);

    SystemDefaults* defaults = g_engine.defaults;
    defaults[CSYS_Geodetic].parameters.geodetic.heightType = GEH_EllipsoidHeight;

    // The projection modules' parameters at start.
    {
        double a, f, lat0, cm, fe, fn, k;
        TransverseMercatorGetParameters(a, f, lat0, cm, fe, fn, k);
        defaults[CSYS_TransverseMercator].parameters.transverseMercator = {lat0, cm, k, fe, fn};
        MercatorGetParameters(a, f, lat0, cm, fe, fn, k);
        defaults[CSYS_Mercator].parameters.mercator = {lat0, cm, k, fe, fn};
        double h, orientation;
        LocalCartesianGetParameters(a, f, lat0, cm, h, orientation);
        defaults[CSYS_LocalCartesian].parameters.localCartesian = {lat0, cm, h, orientation};
    }
    for (std::uint32_t type = 0; type < kCoordinateSystemTypeCount; ++type)
        if (const ProjectionModule* module = FindProjectionModule(type))
            module->startValues(defaults[type].parameters.values);
    defaults[CSYS_Utm].parameters.utm = {30, 0};

    SetText(defaults[CSYS_Georef].coordinates, "NGAA0000000000");
    SetText(defaults[CSYS_Gars].coordinates, "361HN37");
    SetText(defaults[CSYS_Mgrs].coordinates, "31NEA0000000000");
    SetText(defaults[CSYS_Usng].coordinates, "31NEA0000000000");
    SetText(defaults[CSYS_BritishNationalGrid].coordinates, "SV 0000000000");
    defaults[CSYS_Utm].coordinates.utm.easting = 500000.0;
    defaults[CSYS_Utm].coordinates.utm.northing = 0.0;
    defaults[CSYS_Utm].coordinates.utm.zone = 31;
    defaults[CSYS_Utm].coordinates.utm.hemisphere = 'N';
    defaults[CSYS_Ups].coordinates.ups.hemisphere = 'N';
    defaults[CSYS_Ups].coordinates.ups.easting = 2000000.0;
    defaults[CSYS_Ups].coordinates.ups.northing = 2000000.0;
    defaults[CSYS_NewZealandMapGrid].coordinates.projected = {2510000.0, 6023150.0};
}

void GeoEngineCopySystemDefaults(GeoEngineState& side, std::uint32_t type) {
    side.parameters = g_engine.defaults[type].parameters;
    side.coordinates = g_engine.defaults[type].coordinates;
}

} // namespace

bool GeoEngineIsValidSelector(int value) { return value == 0 || value == 1; }

bool GeoEngineIsValidDatumIndex(std::uint32_t index) {
    return index >= 1 && index <= g_engine.datumCount;
}

std::uint32_t GeoEngineInitialize() {
    if (g_engine.initialized)
        return 0;

    std::uint32_t error = 0;
    const std::uint32_t ellipsoid = EllipsoidInitialize();
    if (ellipsoid & 0x1)
        error |= kEllipsoidInitError1;
    if (ellipsoid & 0x4)
        error |= kEllipsoidInitError4;
    if (ellipsoid & 0x2)
        error |= GEE_InvalidCode;
    const std::uint32_t datum = DatumInitialize();
    if (datum & 0x12)
        error |= GEE_DatumError;
    if (datum & 0x24)
        error |= kDatumInitError24;
    if (datum & 0x48)
        error |= kDatumInitError48;
    if (error)
        return error;

    g_engine.initialized = true;
    GeoEngineSetSystemDefaults();
    DatumGetCount(g_engine.datumCount);
    DatumGetIndex("WGE", g_engine.wgs84DatumIndex);
    for (int s = 0; s < 2; ++s) {
        for (int d = 0; d < 2; ++d) {
            GeoEngineSetSystem(s, d, CSYS_Geodetic);
            g_engine.states[s][d].datumIndex = 1;
            g_engine.states[s][d].status = 0;
        }
    }
    g_engine.gridPrecision = kGridPrecision;
    return 0;
}

std::uint32_t GeoEngineGetSystemName(std::uint32_t type, std::string_view& name, std::string_view& code) {
    name = {};
    code = {};
    std::uint32_t error = 0;
    if (!g_engine.initialized)
        error |= GEE_NotInitialized;
    if (type >= kCoordinateSystemTypeCount)
        error |= GEE_InvalidType;
    if (error)
        return error;
    name = kCatalogue[type].name;
    code = kCatalogue[type].code;
    return 0;
}

std::uint32_t GeoEngineSetSystem(int state, int direction, std::uint32_t type) {
    if (std::uint32_t error = CheckSide(state, direction))
        return error;
    // A type from outside the catalogue would index past the defaults table.
    if (type >= kCoordinateSystemTypeCount)
        return GEE_InvalidType;
    GeoEngineState& side = g_engine.states[state][direction];
    side.type = type;
    side.status = 0;
    GeoEngineCopySystemDefaults(side, type);
    return 0;
}

std::uint32_t GeoEngineGetDatumIndex(std::string_view code, std::uint32_t& index) {
    index = 0;
    if (!g_engine.initialized)
        return GEE_NotInitialized;
    const std::uint32_t error = DatumGetIndex(code, index);
    if (error == 0)
        return 0;
    return error == DTM_InvalidCode ? GEE_InvalidCode : GEE_DatumError;
}

std::uint32_t GeoEngineSetDatum(int state, int direction, std::uint32_t index) {
    std::uint32_t error = CheckSide(state, direction);
    if (g_engine.initialized && !GeoEngineIsValidDatumIndex(index))
        error |= GEE_InvalidDatumIndex;
    if (error)
        return error;
    g_engine.states[state][direction].datumIndex = index;
    return 0;
}

std::uint32_t GeoEngineGetState(int state, int direction, GeoEngineState& side) {
    if (std::uint32_t error = CheckSide(state, direction))
        return error;
    side = g_engine.states[state][direction];
    return 0;
}

std::uint32_t GeoEngineSetGeodeticParameters(int state, int direction, std::uint32_t heightType) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Geodetic, side))
        return error;
    // Only the height types the pipeline knows.
    if (heightType > GEH_LastGeoidHeight)
        return GEE_InvalidType;
    side->parameters.geodetic.heightType = heightType;
    return 0;
}

std::uint32_t GeoEngineSetGeodeticCoordinates(int state, int direction, double longitude, double latitude,
                                              double height) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Geodetic, side))
        return error;
    side->coordinates.geodetic = {longitude, latitude, height};
    return 0;
}

std::uint32_t GeoEngineGetGeodeticCoordinates(int state, int direction, GeodeticCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Geodetic, side))
        return error;
    coordinates = side->coordinates.geodetic;
    return 0;
}

std::uint32_t GeoEngineSetGeocentricCoordinates(int state, int direction, double x, double y, double z) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Geocentric, side))
        return error;
    side->coordinates.cartesian = {x, y, z};
    return 0;
}

std::uint32_t GeoEngineGetGeocentricCoordinates(int state, int direction, CartesianCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Geocentric, side))
        return error;
    coordinates = side->coordinates.cartesian;
    return 0;
}

std::uint32_t GeoEngineSetLocalCartesianParameters(int state, int direction, double originLatitude,
                                                   double originLongitude, double originHeight,
                                                   double orientation) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_LocalCartesian, side))
        return error;
    side->parameters.localCartesian = {originLatitude, originLongitude, originHeight, orientation};
    return 0;
}

std::uint32_t GeoEngineSetLocalCartesianCoordinates(int state, int direction, double x, double y, double z) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_LocalCartesian, side))
        return error;
    side->coordinates.cartesian = {x, y, z};
    return 0;
}

std::uint32_t GeoEngineGetLocalCartesianCoordinates(int state, int direction,
                                                    CartesianCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_LocalCartesian, side))
        return error;
    coordinates = side->coordinates.cartesian;
    return 0;
}

std::uint32_t GeoEngineSetMercatorParameters(int state, int direction, double originLatitude,
                                             double centralMeridian, double scaleFactor,
                                             double falseEasting, double falseNorthing) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Mercator, side))
        return error;
    side->parameters.mercator = {originLatitude, centralMeridian, scaleFactor, falseEasting, falseNorthing};
    return 0;
}

std::uint32_t GeoEngineSetMercatorCoordinates(int state, int direction, double easting, double northing) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Mercator, side))
        return error;
    side->coordinates.projected = {easting, northing};
    return 0;
}

std::uint32_t GeoEngineGetMercatorCoordinates(int state, int direction, ProjectedCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Mercator, side))
        return error;
    coordinates = side->coordinates.projected;
    return 0;
}

std::uint32_t GeoEngineSetTransverseMercatorParameters(int state, int direction, double originLatitude,
                                                       double centralMeridian, double scaleFactor,
                                                       double falseEasting, double falseNorthing) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_TransverseMercator, side))
        return error;
    side->parameters.transverseMercator = {originLatitude, centralMeridian, scaleFactor, falseEasting,
                                           falseNorthing};
    return 0;
}

std::uint32_t GeoEngineSetTransverseMercatorCoordinates(int state, int direction, double easting,
                                                        double northing) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_TransverseMercator, side))
        return error;
    side->coordinates.projected = {easting, northing};
    return 0;
}

std::uint32_t GeoEngineGetTransverseMercatorCoordinates(int state, int direction,
                                                        ProjectedCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_TransverseMercator, side))
        return error;
    coordinates = side->coordinates.projected;
    return 0;
}

std::uint32_t GeoEngineSetUtmParameters(int state, int direction, std::int32_t zone, std::int32_t zoneOverride) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Utm, side))
        return error;
    side->parameters.utm = {zone, zoneOverride};
    return 0;
}

std::uint32_t GeoEngineSetUtmCoordinates(int state, int direction, double easting, double northing,
                                         std::int32_t zone, char hemisphere) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Utm, side))
        return error;
    side->coordinates.utm = {easting, northing, zone, hemisphere};
    return 0;
}

std::uint32_t GeoEngineGetUtmCoordinates(int state, int direction, UtmCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Utm, side))
        return error;
    coordinates = side->coordinates.utm;
    return 0;
}

std::uint32_t GeoEngineSetUpsCoordinates(int state, int direction, char hemisphere, double easting,
                                         double northing) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Ups, side))
        return error;
    side->coordinates.ups = {hemisphere, easting, northing};
    return 0;
}

std::uint32_t GeoEngineGetUpsCoordinates(int state, int direction, UpsCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, CSYS_Ups, side))
        return error;
    coordinates = side->coordinates.ups;
    return 0;
}

std::uint32_t GeoEngineSetProjectionParameters(int state, int direction, std::uint32_t type, const double* values,
                                               std::size_t count) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, type, side))
        return error;
    // Only the types whose records this build knows, with every value.
    const ProjectionModule* module = FindProjectionModule(type);
    if (!module || !values || count != static_cast<std::size_t>(module->parameterCount))
        return GEE_InvalidType;
    for (std::size_t i = 0; i < count; ++i)
        side->parameters.values[i] = values[i];
    return 0;
}

std::uint32_t GeoEngineGetProjectionParameters(int state, int direction, std::uint32_t type, double* values,
                                               std::size_t count) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, type, side))
        return error;
    const ProjectionModule* module = FindProjectionModule(type);
    if (!module || !values || count != static_cast<std::size_t>(module->parameterCount))
        return GEE_InvalidType;
    for (std::size_t i = 0; i < count; ++i)
        values[i] = side->parameters.values[i];
    return 0;
}

std::uint32_t GeoEngineSetProjectedCoordinates(int state, int direction, std::uint32_t type, double easting,
                                               double northing) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, type, side))
        return error;
    if (!FindProjectionModule(type) && type != CSYS_NewZealandMapGrid)
        return GEE_InvalidType;
    side->coordinates.projected = {easting, northing};
    return 0;
}

std::uint32_t GeoEngineGetProjectedCoordinates(int state, int direction, std::uint32_t type,
                                               ProjectedCoordinates& coordinates) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, type, side))
        return error;
    if (!FindProjectionModule(type) && type != CSYS_NewZealandMapGrid)
        return GEE_InvalidType;
    coordinates = side->coordinates.projected;
    return 0;
}

namespace {

bool IsGridStringType(std::uint32_t type) {
    return type == CSYS_Mgrs || type == CSYS_Usng || type == CSYS_Gars || type == CSYS_Georef ||
           type == CSYS_BritishNationalGrid;
}

} // namespace

std::uint32_t GeoEngineSetGridCoordinates(int state, int direction, std::uint32_t type,
                                          std::string_view text) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, type, side))
        return error;
    if (!IsGridStringType(type))
        return GEE_InvalidType;
    // A string cut to fit could read as another place.
    if (text.size() >= kGridTextSize)
        return GEE_InvalidCode;
    std::memset(side->coordinates.text, 0, sizeof side->coordinates.text);
    std::memcpy(side->coordinates.text, text.data(), text.size());
    return 0;
}

std::uint32_t GeoEngineGetGridCoordinates(int state, int direction, std::uint32_t type,
                                          char (&text)[kGridTextSize]) {
    GeoEngineState* side = nullptr;
    if (std::uint32_t error = SideOfType(state, direction, type, side))
        return error;
    if (!IsGridStringType(type))
        return GEE_InvalidType;
    std::memcpy(text, side->coordinates.text, kGridTextSize);
    text[kGridTextSize - 1] = '\0';
    return 0;
}

std::uint32_t GeoEngineSetGridPrecision(int precision) {
    if (!g_engine.initialized)
        return GEE_NotInitialized;
    g_engine.gridPrecision = precision;
    return 0;
}
