// The conversion pipeline: input system -> geodetic on the input datum ->
// WGS 84 -> output datum -> output system, with the module flags translated
// into the two sides' status words and those into the result code.

#include "crs/engine/GeoEngine.h"

#include "crs/engine/BritishNationalGrid.h"
#include "crs/engine/Datum.h"
#include "crs/engine/EngineMath.h"
#include "crs/engine/Gars.h"
#include "crs/engine/GeoEngineInternal.h"
#include "crs/engine/Geocentric.h"
#include "crs/engine/Geoid.h"
#include "crs/engine/Georef.h"
#include "crs/engine/LocalCartesian.h"
#include "crs/engine/Mercator.h"
#include "crs/engine/Mgrs.h"
#include "crs/engine/Nzmg.h"
#include "crs/engine/ProjectionModules.h"
#include "crs/engine/TransverseMercator.h"
#include "crs/engine/Ups.h"
#include "crs/engine/Usng.h"
#include "crs/engine/Utm.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace geoengine;

namespace {

// The engine has no status bit of its own for a coordinate that is not a
// finite number; both coordinate bits mark it.
constexpr std::uint32_t kCoordinateNotFinite = GES_EastingError | GES_NorthingError;

struct FlagMap {
    std::uint32_t flag;
    std::uint32_t status;
};

template <std::size_t N>
std::uint32_t MapFlags(std::uint32_t flags, const FlagMap (&map)[N]) {
    std::uint32_t status = 0;
    for (const FlagMap& m : map)
        if (flags & m.flag)
            status |= m.status;
    return status;
}

const FlagMap kTransverseMercatorSetUp[] = {
    {PRJ_SemiMajorAxisError, GES_SemiMajorAxisError},
    {PRJ_InverseFlatteningError, GES_InverseFlatteningError},
    {PRJ_OriginLatitudeError, GES_OriginLatitudeError},
    {PRJ_CentralMeridianError, GES_CentralMeridianError},
    {TME_ScaleFactorError, GES_ScaleFactorError},
    {PRJ_EastingError, GES_EastingError},
    {PRJ_NorthingError, GES_NorthingError},
};
const FlagMap kMercatorSetUp[] = {
    {PRJ_SemiMajorAxisError, GES_SemiMajorAxisError},
    {PRJ_InverseFlatteningError, GES_InverseFlatteningError},
    {PRJ_OriginLatitudeError, GES_OriginLatitudeError},
    {PRJ_CentralMeridianError, GES_CentralMeridianError},
    {PRJ_EastingError, GES_EastingError},
    {PRJ_NorthingError, GES_NorthingError},
};
// Inverse flags that belong to the input side; a longitude warning is
// recorded on the output side.
const FlagMap kProjectionInverse[] = {
    {PRJ_EastingError, GES_EastingError},
    {PRJ_NorthingError, GES_NorthingError},
};
const FlagMap kProjectionForward[] = {
    {PRJ_LatitudeError, GES_LatitudeError},
    {PRJ_LongitudeError, GES_LongitudeError},
    {TME_LongitudeWarning, GES_LongitudeWarning},
};
const FlagMap kGeocentric[] = {
    {GCS_SemiMajorAxisError, GES_SemiMajorAxisError},
    {GCS_InverseFlatteningError, GES_InverseFlatteningError},
    {GCS_LatitudeError, GES_LatitudeError},
    {GCS_LongitudeError, GES_LongitudeError},
    {GCS_CoordinateError, kCoordinateNotFinite},
};
const FlagMap kLocalCartesian[] = {
    {LCS_SemiMajorAxisError, GES_SemiMajorAxisError},
    {LCS_InverseFlatteningError, GES_InverseFlatteningError},
    {LCS_LatitudeError, GES_LatitudeError},
    {LCS_LongitudeError, GES_LongitudeError},
    {LCS_OriginLatitudeError, GES_OriginLatitudeError},
    {LCS_OriginLongitudeError, GES_OriginLongitudeError},
    // The orientation has no bit of its own. Left unmapped, a frame that
    // cannot be set up would convert nothing and still report success; the
    // origin-longitude bit, whose range the orientation shares, marks it.
    {LCS_OrientationError, GES_OriginLongitudeError},
    {LCS_CoordinateError, kCoordinateNotFinite},
};
const FlagMap kDatumShift[] = {
    {DTM_LatitudeError, GES_LatitudeError},
    {DTM_LongitudeError, GES_LongitudeError},
    {DTM_CoordinateError, kCoordinateNotFinite},
    {DTM_EllipsoidError, GES_EllipsoidError},
    {DTM_NotInitialized, GES_EllipsoidError},
};

const FlagMap kUtmSetUp[] = {
    {UTM_SemiMajorAxisError, GES_SemiMajorAxisError},
    {UTM_InverseFlatteningError, GES_InverseFlatteningError},
    {UTM_ZoneOverrideError, GES_ZoneOverrideError},
};
const FlagMap kUtmForward[] = {
    {UTM_LatitudeError, GES_LatitudeError},
    {UTM_LongitudeError, GES_LongitudeError},
    // Here the override is valid but too far from the point's own zone.
    {UTM_ZoneOverrideError, GES_ZoneError},
    {UTM_EastingError, GES_EastingError},
    {UTM_NorthingError, GES_NorthingError},
};
const FlagMap kUtmInverse[] = {
    {UTM_ZoneError, GES_ZoneError},
    {UTM_HemisphereError, GES_HemisphereError},
    {UTM_EastingError, GES_EastingError},
    {UTM_NorthingError, GES_NorthingError},
};
const FlagMap kUps[] = {
    {UPS_SemiMajorAxisError, GES_SemiMajorAxisError},
    {UPS_InverseFlatteningError, GES_InverseFlatteningError},
    {UPS_LatitudeError, GES_LatitudeError},
    {UPS_LongitudeError, GES_LongitudeError},
    {UPS_HemisphereError, GES_HemisphereError},
    {UPS_EastingError, GES_EastingError},
    {UPS_NorthingError, GES_NorthingError},
};

// MGRS and USNG share their flag values.
const FlagMap kMilitaryGrid[] = {
    {MGRS_SemiMajorAxisError, GES_SemiMajorAxisError},
    {MGRS_InverseFlatteningError, GES_InverseFlatteningError},
    {MGRS_LatitudeError, GES_LatitudeError},
    {MGRS_LongitudeError, GES_LongitudeError},
    {MGRS_StringError, GES_StringError},
    {MGRS_PrecisionError, GES_StringError},
    {MGRS_EastingError, GES_EastingError},
    {MGRS_NorthingError, GES_NorthingError},
    {MGRS_ZoneError, GES_ZoneError},
    {MGRS_HemisphereError, GES_HemisphereError},
    {USNG_BandWarning, GES_GridWarning},
};
const FlagMap kGars[] = {
    {GARS_LatitudeError, GES_LatitudeError},
    {GARS_LongitudeError, GES_LongitudeError},
    {GARS_StringError, GES_StringError},
    {GARS_Letter1Error, GES_StringError},
    {GARS_Letter2Error, GES_StringError},
    {GARS_PrecisionError, GES_StringError},
    {GARS_QuadrantError, GES_LongitudeMinutesError},
    {GARS_KeypadError, GES_LatitudeMinutesError},
};
const FlagMap kGeoref[] = {
    {GEOREF_LatitudeError, GES_LatitudeError},
    {GEOREF_LongitudeError, GES_LongitudeError},
    {GEOREF_StringError, GES_StringError},
    {GEOREF_LatitudeLetterError, GES_StringError},
    {GEOREF_LongitudeLetterError, GES_StringError},
    {GEOREF_PrecisionError, GES_StringError},
    {GEOREF_LongitudeMinutesError, GES_LongitudeMinutesError},
    {GEOREF_LatitudeMinutesError, GES_LatitudeMinutesError},
};
const FlagMap kBng[] = {
    {BNG_LatitudeError, GES_LatitudeError},   {BNG_LongitudeError, GES_LongitudeError},
    {BNG_EastingError, GES_EastingError},     {BNG_NorthingError, GES_NorthingError},
    {BNG_GridAreaError, GES_GridAreaError},   {BNG_StringError, GES_StringError},
    {BNG_EllipsoidError, GES_EllipsoidError},
};
const FlagMap kNzmg[] = {
    {NZMG_LatitudeError, GES_LatitudeError},   {NZMG_LongitudeError, GES_LongitudeError},
    {NZMG_EastingError, GES_EastingError},     {NZMG_NorthingError, GES_NorthingError},
    {NZMG_EllipsoidError, GES_EllipsoidError},
};

std::int32_t UtmOverrideOf(const UtmParameters& p) { return p.zoneOverride ? p.zone : 0; }

bool IsMilitaryGrid(std::uint32_t type) {
    return type == CSYS_Mgrs || type == CSYS_Usng;
}

std::string EllipsoidCodeOf(const GeoEngineState& side) {
    std::string code;
    DatumGetEllipsoidCode(side.datumIndex, code);
    return code;
}

std::string_view TextOf(const GeoEngineState& side) {
    const char* text = side.coordinates.text;
    std::size_t n = 0;
    while (n < sizeof side.coordinates.text && text[n] != '\0')
        ++n;
    return {text, n};
}

void SetText(GeoEngineState& side, const char* text) {
    std::memset(side.coordinates.text, 0, sizeof side.coordinates.text);
    std::strncpy(side.coordinates.text, text, sizeof side.coordinates.text - 1);
}

long GridPrecision() {
    if (g_engine.gridPrecision < 0)
        return 0;
    if (g_engine.gridPrecision > 5)
        return 5;
    return g_engine.gridPrecision;
}

std::uint32_t MilitaryGridSetUp(const GeoEngineState& side, double a, double f) {
    const std::string code = EllipsoidCodeOf(side);
    return side.type == CSYS_Usng ? UsngSetParameters(a, f, code) : MgrsSetParameters(a, f, code);
}

bool StartsWithZone(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

struct Point {
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
};

bool IsGeoidHeight(std::uint32_t heightType) {
    return heightType >= 2 && heightType <= GEH_LastGeoidHeight;
}

std::uint32_t HeightTypeOf(const GeoEngineState& side) {
    switch (side.type) {
    case CSYS_Geodetic:
        return side.parameters.geodetic.heightType;
    case CSYS_Geocentric:
    case CSYS_LocalCartesian:
        return GEH_EllipsoidHeight;
    default:
        return GEH_NoHeight;
    }
}

// Mean-sea-level height types to and from ellipsoid heights through the
// geoid module. Without its grids the height comes back unchanged with a
// flag, which the caller turns into an error status.
std::uint32_t GeoidToEllipsoid(std::uint32_t heightType, const Point& p, double& height) {
    switch (heightType) {
    case GEH_Egm96:
        return GeoidMslToEllipsoidEgm96(p.latitude, p.longitude, p.height, height);
    case GEH_Egm96Spline:
        return GeoidMslToEllipsoidEgm96Spline(p.latitude, p.longitude, p.height, height);
    case GEH_Egm84:
        return GeoidMslToEllipsoidEgm84(p.latitude, p.longitude, p.height, height);
    default:
        return GeoidMslToEllipsoidEgm84Spline(p.latitude, p.longitude, p.height, height);
    }
}

std::uint32_t EllipsoidToGeoid(std::uint32_t heightType, const Point& p, double& height) {
    switch (heightType) {
    case GEH_Egm96:
        return GeoidEllipsoidToMslEgm96(p.latitude, p.longitude, p.height, height);
    case GEH_Egm96Spline:
        return GeoidEllipsoidToMslEgm96Spline(p.latitude, p.longitude, p.height, height);
    case GEH_Egm84:
        return GeoidEllipsoidToMslEgm84(p.latitude, p.longitude, p.height, height);
    default:
        return GeoidEllipsoidToMslEgm84Spline(p.latitude, p.longitude, p.height, height);
    }
}

bool IsWarning(std::uint32_t status) {
    return status == GES_LongitudeWarning || status == GES_GridWarning;
}

void ClearAccuracy() {
    g_engine.ce90 = -1.0;
    g_engine.le90 = -1.0;
    g_engine.se90 = -1.0;
}

// Geocentric <-> Local Cartesian on one datum: no geodetic stage.
std::uint32_t ConvertCartesianDirect(GeoEngineState& in, GeoEngineState& out, double a, double f) {
    GeoEngineState& local = in.type == CSYS_LocalCartesian ? in : out;
    const LocalCartesianParameters& p = local.parameters.localCartesian;
    const std::uint32_t setUp = LocalCartesianSetParameters(a, f, p.originLatitude, p.originLongitude,
                                                            p.originHeight, p.orientation);
    local.status |= MapFlags(setUp, kLocalCartesian);
    if (setUp == 0) {
        const CartesianCoordinates& c = in.coordinates.cartesian;
        CartesianCoordinates r{};
        const std::uint32_t flags = in.type == CSYS_Geocentric
                                        ? LocalCartesianFromGeocentric(c.x, c.y, c.z, r.x, r.y, r.z)
                                        : LocalCartesianToGeocentric(c.x, c.y, c.z, r.x, r.y, r.z);
        in.status |= MapFlags(flags, kLocalCartesian);
        if (flags == 0)
            out.coordinates.cartesian = r;
    }
    if (in.status || out.status)
        ClearAccuracy();
    if (out.status)
        return GEC_OutputError;
    if (in.status)
        return GEC_InputError;
    return 0;
}

std::uint32_t DirectResult(const GeoEngineState& in, const GeoEngineState& out) {
    std::uint32_t code = 0;
    if (in.status)
        code |= IsWarning(in.status) ? GEC_InputWarning : GEC_InputError;
    if (out.status)
        code |= IsWarning(out.status) ? GEC_OutputWarning : GEC_OutputError;
    if (in.status || out.status)
        ClearAccuracy();
    return code;
}

// MGRS or USNG straight to UTM or UPS on one datum: the string's own zone
// is kept.
std::uint32_t ConvertGridToUtmUps(GeoEngineState& in, GeoEngineState& out, double a, double f) {
    const std::uint32_t setUp = MilitaryGridSetUp(in, a, f);
    in.status |= MapFlags(setUp, kMilitaryGrid);
    if (setUp == 0) {
        const bool usng = in.type == CSYS_Usng;
        std::uint32_t flags = 0;
        if (out.type == CSYS_Utm) {
            UtmCoordinates c{};
            flags = usng ? UsngToUtm(TextOf(in), c.zone, c.hemisphere, c.easting, c.northing)
                         : MgrsToUtm(TextOf(in), c.zone, c.hemisphere, c.easting, c.northing);
            if ((flags & ~USNG_BandWarning) == 0)
                out.coordinates.utm = c;
        } else {
            UpsCoordinates c{};
            flags = usng ? UsngToUps(TextOf(in), c.hemisphere, c.easting, c.northing)
                         : MgrsToUps(TextOf(in), c.hemisphere, c.easting, c.northing);
            if (flags == 0)
                out.coordinates.ups = c;
        }
        in.status |= MapFlags(flags, kMilitaryGrid);
    }
    return DirectResult(in, out);
}

// UTM or UPS straight to MGRS or USNG on one datum. The checks of the UTM
// or UPS values belong to the input; a point with no latitude band to the
// output.
std::uint32_t ConvertUtmUpsToGrid(GeoEngineState& in, GeoEngineState& out, double a, double f) {
    const std::uint32_t setUp = MilitaryGridSetUp(out, a, f);
    out.status |= MapFlags(setUp, kMilitaryGrid);
    if (setUp == 0) {
        const bool usng = out.type == CSYS_Usng;
        char text[MGRS_StringSize] = {};
        std::uint32_t flags = 0;
        if (in.type == CSYS_Utm) {
            const UtmCoordinates& c = in.coordinates.utm;
            flags = usng ? UsngFromUtm(c.zone, c.hemisphere, c.easting, c.northing, GridPrecision(),
                                       text)
                         : MgrsFromUtm(c.zone, c.hemisphere, c.easting, c.northing, GridPrecision(),
                                       text);
        } else {
            const UpsCoordinates& c = in.coordinates.ups;
            flags = usng ? UsngFromUps(c.hemisphere, c.easting, c.northing, GridPrecision(), text)
                         : MgrsFromUps(c.hemisphere, c.easting, c.northing, GridPrecision(), text);
        }
        in.status |= MapFlags(flags & ~MGRS_LatitudeError, kMilitaryGrid);
        out.status |= MapFlags(flags & MGRS_LatitudeError, kMilitaryGrid);
        if (flags == 0)
            SetText(out, text);
    }
    return DirectResult(in, out);
}

// Input coordinates to geodetic on the input datum; returns the status bits
// for the input side and ORs a longitude warning into outputStatus.
std::uint32_t InputStage(const GeoEngineState& in, double a, double f, Point& p,
                         std::uint32_t& outputStatus) {
    switch (in.type) {
    case CSYS_Geodetic: {
        const GeodeticCoordinates& c = in.coordinates.geodetic;
        const bool noHeight = in.parameters.geodetic.heightType == GEH_NoHeight;
        std::uint32_t status = 0;
        if (!IsFinite(c.longitude))
            status |= GES_LongitudeError;
        if (!IsFinite(c.latitude))
            status |= GES_LatitudeError;
        if (!noHeight && !IsFinite(c.height))
            status |= kCoordinateNotFinite;
        p.longitude = c.longitude;
        p.latitude = c.latitude;
        p.height = noHeight ? 0.0 : c.height;
        return status;
    }
    case CSYS_Geocentric: {
        const std::uint32_t setUp = GeocentricSetParameters(a, f);
        if (setUp)
            return MapFlags(setUp, kGeocentric);
        const CartesianCoordinates& c = in.coordinates.cartesian;
        return MapFlags(GeocentricToGeodetic(c.x, c.y, c.z, p.latitude, p.longitude, p.height), kGeocentric);
    }
    case CSYS_LocalCartesian: {
        const LocalCartesianParameters& lp = in.parameters.localCartesian;
        const std::uint32_t setUp = LocalCartesianSetParameters(a, f, lp.originLatitude, lp.originLongitude,
                                                                lp.originHeight, lp.orientation);
        if (setUp)
            return MapFlags(setUp, kLocalCartesian);
        const CartesianCoordinates& c = in.coordinates.cartesian;
        return MapFlags(LocalCartesianToGeodetic(c.x, c.y, c.z, p.latitude, p.longitude, p.height),
                        kLocalCartesian);
    }
    case CSYS_Mercator: {
        const MercatorParameters& mp = in.parameters.mercator;
        double k = 1.0;
        const std::uint32_t setUp = MercatorSetParameters(a, f, mp.originLatitude, mp.centralMeridian,
                                                          mp.falseEasting, mp.falseNorthing, k);
        if (setUp)
            return MapFlags(setUp, kMercatorSetUp);
        const ProjectedCoordinates& c = in.coordinates.projected;
        return MapFlags(MercatorInverse(c.easting, c.northing, p.latitude, p.longitude), kProjectionInverse);
    }
    case CSYS_TransverseMercator: {
        const TransverseMercatorParameters& tp = in.parameters.transverseMercator;
        const std::uint32_t setUp = TransverseMercatorSetParameters(
            a, f, tp.originLatitude, tp.centralMeridian, tp.falseEasting, tp.falseNorthing, tp.scaleFactor);
        if (setUp)
            return MapFlags(setUp, kTransverseMercatorSetUp);
        const ProjectedCoordinates& c = in.coordinates.projected;
        const std::uint32_t flags = TransverseMercatorInverse(c.easting, c.northing, p.latitude, p.longitude);
        if (flags & TME_LongitudeWarning)
            outputStatus |= GES_LongitudeWarning;
        return MapFlags(flags, kProjectionInverse);
    }
    case CSYS_Utm: {
        const std::uint32_t setUp = UtmSetParameters(a, f, UtmOverrideOf(in.parameters.utm));
        if (setUp)
            return MapFlags(setUp, kUtmSetUp);
        const UtmCoordinates& c = in.coordinates.utm;
        return MapFlags(UtmInverse(c.zone, c.hemisphere, c.easting, c.northing, p.latitude, p.longitude),
                        kUtmInverse);
    }
    case CSYS_Ups: {
        const std::uint32_t setUp = UpsSetParameters(a, f);
        if (setUp)
            return MapFlags(setUp, kUps);
        const UpsCoordinates& c = in.coordinates.ups;
        return MapFlags(UpsInverse(c.hemisphere, c.easting, c.northing, p.latitude, p.longitude), kUps);
    }
    case CSYS_Mgrs:
    case CSYS_Usng: {
        const std::uint32_t setUp = MilitaryGridSetUp(in, a, f);
        if (setUp)
            return MapFlags(setUp, kMilitaryGrid);
        const std::uint32_t flags = in.type == CSYS_Usng
                                        ? UsngInverse(TextOf(in), p.latitude, p.longitude)
                                        : MgrsInverse(TextOf(in), p.latitude, p.longitude);
        return MapFlags(flags, kMilitaryGrid);
    }
    case CSYS_Gars:
        return MapFlags(GarsInverse(TextOf(in), p.latitude, p.longitude), kGars);
    case CSYS_Georef:
        return MapFlags(GeorefInverse(TextOf(in), p.latitude, p.longitude), kGeoref);
    case CSYS_BritishNationalGrid: {
        const std::uint32_t setUp = BngSetParameters(EllipsoidCodeOf(in));
        if (setUp)
            return MapFlags(setUp, kBng);
        return MapFlags(BngInverse(TextOf(in), p.latitude, p.longitude), kBng);
    }
    case CSYS_NewZealandMapGrid: {
        const std::uint32_t setUp = NzmgSetParameters(EllipsoidCodeOf(in));
        if (setUp)
            return MapFlags(setUp, kNzmg);
        const ProjectedCoordinates& c = in.coordinates.projected;
        return MapFlags(NzmgInverse(c.easting, c.northing, p.latitude, p.longitude), kNzmg);
    }
    default:
        break;
    }
    const ProjectionModule* module = FindProjectionModule(in.type);
    // Refused before the pipeline starts; kept so no type falls through with
    // a result.
    if (!module)
        return GES_EllipsoidError;
    const std::uint32_t setUp = module->setUp(a, f, in.parameters.values);
    if (setUp)
        return MapModuleFlags(setUp, module->setUpFlags);
    const ProjectedCoordinates& c = in.coordinates.projected;
    const std::uint32_t flags = module->inverse(c.easting, c.northing, p.latitude, p.longitude);
    if (flags & module->inverseWarnings)
        outputStatus |= GES_LongitudeWarning;
    return MapModuleFlags(flags, module->inverseFlags);
}

// Geodetic on the output datum to the output coordinates; returns the status
// bits for the output side.
std::uint32_t OutputStage(GeoEngineState& out, double a, double f, const Point& p) {
    switch (out.type) {
    case CSYS_Geodetic: {
        const bool noHeight = out.parameters.geodetic.heightType == GEH_NoHeight;
        out.coordinates.geodetic = {p.longitude, p.latitude, noHeight ? 0.0 : p.height};
        return 0;
    }
    case CSYS_Geocentric: {
        const std::uint32_t setUp = GeocentricSetParameters(a, f);
        if (setUp)
            return MapFlags(setUp, kGeocentric);
        CartesianCoordinates c{};
        const std::uint32_t flags = GeocentricFromGeodetic(p.latitude, p.longitude, p.height, c.x, c.y, c.z);
        if (flags == 0)
            out.coordinates.cartesian = c;
        return MapFlags(flags, kGeocentric);
    }
    case CSYS_LocalCartesian: {
        const LocalCartesianParameters& lp = out.parameters.localCartesian;
        const std::uint32_t setUp = LocalCartesianSetParameters(a, f, lp.originLatitude, lp.originLongitude,
                                                                lp.originHeight, lp.orientation);
        if (setUp)
            return MapFlags(setUp, kLocalCartesian);
        CartesianCoordinates c{};
        const std::uint32_t flags =
            LocalCartesianFromGeodetic(p.latitude, p.longitude, p.height, c.x, c.y, c.z);
        if (flags == 0)
            out.coordinates.cartesian = c;
        return MapFlags(flags, kLocalCartesian);
    }
    case CSYS_Mercator: {
        MercatorParameters& mp = out.parameters.mercator;
        double k = 1.0;
        const std::uint32_t setUp = MercatorSetParameters(a, f, mp.originLatitude, mp.centralMeridian,
                                                          mp.falseEasting, mp.falseNorthing, k);
        if (setUp)
            return MapFlags(setUp, kMercatorSetUp);
        mp.scaleFactor = k;
        ProjectedCoordinates c{};
        const std::uint32_t flags = MercatorForward(p.latitude, p.longitude, c.easting, c.northing);
        if (flags == 0)
            out.coordinates.projected = c;
        return MapFlags(flags, kProjectionForward);
    }
    case CSYS_TransverseMercator: {
        const TransverseMercatorParameters& tp = out.parameters.transverseMercator;
        const std::uint32_t setUp = TransverseMercatorSetParameters(
            a, f, tp.originLatitude, tp.centralMeridian, tp.falseEasting, tp.falseNorthing, tp.scaleFactor);
        if (setUp)
            return MapFlags(setUp, kTransverseMercatorSetUp);
        ProjectedCoordinates c{};
        const std::uint32_t flags = TransverseMercatorForward(p.latitude, p.longitude, c.easting, c.northing);
        // Errors write nothing; a warning comes with coordinates.
        if ((flags & ~TME_LongitudeWarning) == 0)
            out.coordinates.projected = c;
        return MapFlags(flags, kProjectionForward);
    }
    case CSYS_Utm: {
        const std::uint32_t setUp = UtmSetParameters(a, f, UtmOverrideOf(out.parameters.utm));
        if (setUp)
            return MapFlags(setUp, kUtmSetUp);
        UtmCoordinates c{};
        const std::uint32_t flags = UtmForward(p.latitude, p.longitude, c.zone, c.hemisphere, c.easting, c.northing);
        // Errors write nothing, as for every other type.
        if (flags == 0)
            out.coordinates.utm = c;
        return MapFlags(flags, kUtmForward);
    }
    case CSYS_Ups: {
        const std::uint32_t setUp = UpsSetParameters(a, f);
        if (setUp)
            return MapFlags(setUp, kUps);
        UpsCoordinates c{};
        const std::uint32_t flags = UpsForward(p.latitude, p.longitude, c.hemisphere, c.easting, c.northing);
        if (flags == 0)
            out.coordinates.ups = c;
        return MapFlags(flags, kUps);
    }
    case CSYS_Mgrs:
    case CSYS_Usng: {
        const std::uint32_t setUp = MilitaryGridSetUp(out, a, f);
        if (setUp)
            return MapFlags(setUp, kMilitaryGrid);
        char text[MGRS_StringSize] = {};
        const std::uint32_t flags =
            out.type == CSYS_Usng ? UsngForward(p.latitude, p.longitude, GridPrecision(), text)
                                  : MgrsForward(p.latitude, p.longitude, GridPrecision(), text);
        if (flags == 0)
            SetText(out, text);
        return MapFlags(flags, kMilitaryGrid);
    }
    case CSYS_Gars: {
        char text[GARS_StringSize] = {};
        const std::uint32_t flags = GarsForward(p.latitude, p.longitude, GridPrecision(), text);
        if (flags == 0)
            SetText(out, text);
        return MapFlags(flags, kGars);
    }
    case CSYS_Georef: {
        char text[GEOREF_StringSize] = {};
        const std::uint32_t flags = GeorefForward(p.latitude, p.longitude, GridPrecision(), text);
        if (flags == 0)
            SetText(out, text);
        return MapFlags(flags, kGeoref);
    }
    case CSYS_BritishNationalGrid: {
        const std::uint32_t setUp = BngSetParameters(EllipsoidCodeOf(out));
        if (setUp)
            return MapFlags(setUp, kBng);
        char text[BNG_StringSize] = {};
        const std::uint32_t flags = BngForward(p.latitude, p.longitude, GridPrecision(), text);
        if (flags == 0)
            SetText(out, text);
        return MapFlags(flags, kBng);
    }
    case CSYS_NewZealandMapGrid: {
        const std::uint32_t setUp = NzmgSetParameters(EllipsoidCodeOf(out));
        if (setUp)
            return MapFlags(setUp, kNzmg);
        ProjectedCoordinates c{};
        const std::uint32_t flags = NzmgForward(p.latitude, p.longitude, c.easting, c.northing);
        if (flags == 0)
            out.coordinates.projected = c;
        return MapFlags(flags, kNzmg);
    }
    default:
        break;
    }
    const ProjectionModule* module = FindProjectionModule(out.type);
    if (!module)
        return GES_EllipsoidError;
    const std::uint32_t setUp = module->setUp(a, f, out.parameters.values);
    if (setUp)
        return MapModuleFlags(setUp, module->setUpFlags);
    ProjectedCoordinates c{};
    const std::uint32_t flags = module->forward(p.latitude, p.longitude, c.easting, c.northing);
    // Errors write nothing; a warning comes with coordinates.
    if ((flags & ~module->forwardWarnings) == 0)
        out.coordinates.projected = c;
    return MapModuleFlags(flags, module->forwardFlags);
}

} // namespace

std::uint32_t GeoEngineConvert(int state) {
    std::uint32_t code = 0;
    if (!g_engine.initialized)
        code |= GEE_NotInitialized;
    if (!GeoEngineIsValidSelector(state))
        code |= GEE_InvalidState;
    if (code)
        return code;

    GeoEngineState& in = g_engine.states[state][0];
    GeoEngineState& out = g_engine.states[state][1];

    // Types whose modules this build does not have answer with the engine's
    // error word and change nothing.
    if (!GeoEngineHasModule(in.type) || !GeoEngineHasModule(out.type))
        return GEE_InvalidType;

    in.status = 0;
    out.status = 0;
    double inA, inF, outA, outF;
    DatumGetEllipsoidParameters(in.datumIndex, inA, inF);
    DatumGetEllipsoidParameters(out.datumIndex, outA, outF);

    const bool sameDatum = in.datumIndex == out.datumIndex;
    if (sameDatum && ((in.type == CSYS_Geocentric && out.type == CSYS_LocalCartesian) ||
                      (in.type == CSYS_LocalCartesian && out.type == CSYS_Geocentric)))
        return ConvertCartesianDirect(in, out, inA, inF);
    // MGRS and USNG to and from UTM (without a zone override) and UPS, when
    // the string's kind of square fits the other side.
    if (sameDatum && IsMilitaryGrid(in.type) &&
        ((out.type == CSYS_Utm && UtmOverrideOf(out.parameters.utm) == 0 &&
          StartsWithZone(TextOf(in))) ||
         (out.type == CSYS_Ups && !StartsWithZone(TextOf(in)))))
        return ConvertGridToUtmUps(in, out, inA, inF);
    if (sameDatum && (in.type == CSYS_Utm || in.type == CSYS_Ups) && IsMilitaryGrid(out.type))
        return ConvertUtmUpsToGrid(in, out, inA, inF);

    // Input stage.
    Point inPoint;
    in.status |= InputStage(in, inA, inF, inPoint, out.status);
    if (in.status == 0 || in.status == GES_DatumAreaWarning) {
        // nothing to add
    } else if (IsWarning(in.status)) {
        code |= GEC_InputWarning;
    } else {
        code = GEC_InputError;
    }

    const std::uint32_t hIn = HeightTypeOf(in);
    const std::uint32_t hOut = HeightTypeOf(out);
    Point wgsPoint;
    Point outPoint;
    // A warning of the input (a USNG string outside its band) comes with a
    // point, which goes on to the output like any other.
    if (in.status == 0 || IsWarning(in.status)) {
        if (sameDatum && (hIn == hOut || hIn == GEH_NoHeight || hOut == GEH_NoHeight)) {
            outPoint = inPoint;
            if (hIn == GEH_NoHeight || hOut == GEH_NoHeight)
                outPoint.height = 0.0;
        } else {
            // To WGS 84.
            if (in.datumIndex == g_engine.wgs84DatumIndex) {
                wgsPoint = inPoint;
            } else {
                const std::uint32_t flags =
                    DatumShiftToWgs84(in.datumIndex, inPoint.latitude, inPoint.longitude, inPoint.height,
                                      wgsPoint.latitude, wgsPoint.longitude, wgsPoint.height);
                if (flags) {
                    // A point the shift refuses has no place on WGS 84.
                    in.status |= MapFlags(flags, kDatumShift);
                    ClearAccuracy();
                    return GEC_InputError;
                }
                if (IsGeoidHeight(hIn))
                    wgsPoint.height = inPoint.height;   // a sea-level height is not shifted
                int inside = 1;
                DatumValidPoint(in.datumIndex, wgsPoint.latitude, wgsPoint.longitude, inside);
                if (!inside) {
                    in.status |= GES_DatumAreaWarning;
                    code |= GEC_InputWarning;
                }
            }
            if (hIn == GEH_NoHeight)
                wgsPoint.height = 0.0;
            // Sea-level heights through the geoid. A height the geoid
            // cannot convert (no grids loaded) passes unchanged and marks
            // the output that carries it; an output without a height
            // loses nothing by it.
            if (hIn != hOut) {
                std::uint32_t geoid = 0;
                if (IsGeoidHeight(hIn))
                    geoid |= GeoidToEllipsoid(hIn, wgsPoint, wgsPoint.height);
                if (IsGeoidHeight(hOut))
                    geoid |= EllipsoidToGeoid(hOut, wgsPoint, wgsPoint.height);
                if (geoid && hOut != GEH_NoHeight)
                    out.status |= GES_GridAreaError;
            }

            // From WGS 84.
            if (out.datumIndex == g_engine.wgs84DatumIndex) {
                outPoint = wgsPoint;
            } else {
                const std::uint32_t flags =
                    DatumShiftFromWgs84(wgsPoint.latitude, wgsPoint.longitude, wgsPoint.height,
                                        out.datumIndex, outPoint.latitude, outPoint.longitude,
                                        outPoint.height);
                if (flags) {
                    out.status |= MapFlags(flags, kDatumShift);
                    ClearAccuracy();
                    return code | GEC_OutputError;
                }
                if (hOut == GEH_NoHeight)
                    outPoint.height = 0.0;
                else if (IsGeoidHeight(hOut))
                    outPoint.height = wgsPoint.height;
                int inside = 1;
                DatumValidPoint(out.datumIndex, wgsPoint.latitude, wgsPoint.longitude, inside);
                if (!inside) {
                    out.status |= GES_DatumAreaWarning;
                    code |= GEC_OutputWarning;
                }
            }
            if (hOut == GEH_NoHeight)
                outPoint.height = 0.0;
        }
    }

    // Accuracy estimate.
    if (in.status == 0 && out.status == 0)
        DatumShiftAccuracy(in.datumIndex, out.datumIndex, wgsPoint.latitude, wgsPoint.longitude,
                           g_engine.ce90, g_engine.le90, g_engine.se90);
    else
        ClearAccuracy();

    if (code == GEC_InputError)
        return code;

    // Output stage.
    out.status |= OutputStage(out, outA, outF, outPoint);

    if (out.status != 0 && out.status != GES_DatumAreaWarning && !IsWarning(out.status))
        code |= GEC_OutputError;
    if (IsWarning(out.status))
        code |= GEC_OutputWarning;
    if (in.status || out.status)
        ClearAccuracy();
    return code;
}
