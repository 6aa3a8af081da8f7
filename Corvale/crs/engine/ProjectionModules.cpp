#include "crs/engine/ProjectionModules.h"

#include "crs/engine/AlbersEqualAreaConic.h"
#include "crs/engine/AzimuthalEquidistant.h"
#include "crs/engine/Bonne.h"
#include "crs/engine/Cassini.h"
#include "crs/engine/CylindricalEqualArea.h"
#include "crs/engine/EckertIV.h"
#include "crs/engine/EckertVI.h"
#include "crs/engine/EquidistantCylindrical.h"
#include "crs/engine/GeoEngine.h"
#include "crs/engine/Gnomonic.h"
#include "crs/engine/LambertConformalConic1.h"
#include "crs/engine/LambertConformalConic2.h"
#include "crs/engine/MillerCylindrical.h"
#include "crs/engine/Mollweide.h"
#include "crs/engine/Neys.h"
#include "crs/engine/ObliqueMercator.h"
#include "crs/engine/Orthographic.h"
#include "crs/engine/PolarStereographic.h"
#include "crs/engine/Polyconic.h"
#include "crs/engine/Sinusoidal.h"
#include "crs/engine/Stereographic.h"
#include "crs/engine/TransverseCylindricalEqualArea.h"
#include "crs/engine/VanDerGrinten.h"

namespace geoengine {

namespace {

// The set-up flags every module shares, with the bit its latitude
// parameter (if any) maps to.
std::vector<FlagToStatus> CommonSetUp(std::uint32_t latitudeStatus) {
    std::vector<FlagToStatus> map = {
        {PRJ_SemiMajorAxisError, GES_SemiMajorAxisError},
        {PRJ_InverseFlatteningError, GES_InverseFlatteningError},
        {PRJ_CentralMeridianError, GES_CentralMeridianError},
        {PRJ_EastingError, GES_EastingError},
        {PRJ_NorthingError, GES_NorthingError},
    };
    if (latitudeStatus)
        map.push_back({PRJ_OriginLatitudeError, latitudeStatus});
    return map;
}

std::vector<FlagToStatus> CommonForward(std::uint32_t warning = 0) {
    std::vector<FlagToStatus> map = {
        {PRJ_LatitudeError, GES_LatitudeError},
        {PRJ_LongitudeError, GES_LongitudeError},
    };
    if (warning)
        map.push_back({warning, GES_LongitudeWarning});
    return map;
}

// A longitude warning of an inverse is recorded on the output side by the
// pipeline, not mapped here.
std::vector<FlagToStatus> CommonInverse() {
    return {
        {PRJ_EastingError, GES_EastingError},
        {PRJ_NorthingError, GES_NorthingError},
    };
}

// Records of the modules with (central meridian, false easting, false
// northing).
template <std::uint32_t (*Set)(double, double, double, double, double),
          void (*Get)(double&, double&, double&, double&, double&)>
ProjectionModule ThreeParameterModule(std::uint32_t type,
                                      std::uint32_t (*forward)(double, double, double&, double&),
                                      std::uint32_t (*inverse)(double, double, double&, double&)) {
    return {type,
            3,
            [](double a, double f, const double* p) { return Set(a, f, p[0], p[1], p[2]); },
            [](double* p) {
                double a, f;
                Get(a, f, p[0], p[1], p[2]);
            },
            forward,
            inverse,
            CommonSetUp(0),
            CommonForward(),
            CommonInverse(),
            0,
            0};
}

// Records of the modules with (latitude, central meridian, false easting,
// false northing).
template <std::uint32_t (*Set)(double, double, double, double, double, double),
          void (*Get)(double&, double&, double&, double&, double&, double&)>
ProjectionModule FourParameterModule(std::uint32_t type, std::uint32_t latitudeStatus,
                                     std::uint32_t (*forward)(double, double, double&, double&),
                                     std::uint32_t (*inverse)(double, double, double&, double&)) {
    return {type,
            4,
            [](double a, double f, const double* p) { return Set(a, f, p[0], p[1], p[2], p[3]); },
            [](double* p) {
                double a, f;
                Get(a, f, p[0], p[1], p[2], p[3]);
            },
            forward,
            inverse,
            CommonSetUp(latitudeStatus),
            CommonForward(),
            CommonInverse(),
            0,
            0};
}

// The cones number their flags each their own way.
void AddCones(std::vector<ProjectionModule>& t) {
    {
        const std::vector<FlagToStatus> setUp = {
            {LCC1_SemiMajorAxisError, GES_SemiMajorAxisError},
            {LCC1_InverseFlatteningError, GES_InverseFlatteningError},
            {LCC1_OriginLatitudeError, GES_OriginLatitudeError},
            {LCC1_CentralMeridianError, GES_CentralMeridianError},
            {LCC1_ScaleFactorError, GES_ScaleFactorError},
            {LCC1_EastingError, GES_EastingError},
            {LCC1_NorthingError, GES_NorthingError},
        };
        t.push_back({CSYS_LambertConformalConic1, 5,
                     [](double a, double f, const double* p) {
                         return LambertConformalConic1SetParameters(a, f, p[0], p[1], p[2], p[3],
                                                                    p[4]);
                     },
                     [](double* p) {
                         double a, f;
                         LambertConformalConic1GetParameters(a, f, p[0], p[1], p[2], p[3], p[4]);
                     },
                     LambertConformalConic1Forward, LambertConformalConic1Inverse, setUp,
                     CommonForward(), CommonInverse(), 0, 0});
    }
    {
        // Forward and inverse set the one-parallel cone again, so they can
        // raise the set-up flags too.
        std::vector<FlagToStatus> setUp = {
            {LCC2_SemiMajorAxisError, GES_SemiMajorAxisError},
            {LCC2_InverseFlatteningError, GES_InverseFlatteningError},
            {LCC2_OriginLatitudeError, GES_OriginLatitudeError},
            {LCC2_CentralMeridianError, GES_CentralMeridianError},
            {LCC2_FirstParallelError, GES_FirstStandardParallelError},
            {LCC2_SecondParallelError, GES_SecondStandardParallelError},
            {LCC2_ZeroParallelsError, GES_StandardParallelsError},
            {LCC2_OppositeParallelsError, GES_StandardParallelsError},
            {LCC2_ScaleFactorError, GES_ScaleFactorError},
            {LCC2_EastingError, GES_EastingError},
            {LCC2_NorthingError, GES_NorthingError},
        };
        std::vector<FlagToStatus> forward = setUp;
        forward.push_back({LCC2_LatitudeError, GES_LatitudeError});
        forward.push_back({LCC2_LongitudeError, GES_LongitudeError});
        t.push_back({CSYS_LambertConformalConic2, 6,
                     [](double a, double f, const double* p) {
                         return LambertConformalConic2SetParameters(a, f, p[0], p[1], p[2], p[3],
                                                                    p[4], p[5]);
                     },
                     [](double* p) {
                         double a, f;
                         LambertConformalConic2GetParameters(a, f, p[0], p[1], p[2], p[3], p[4],
                                                             p[5]);
                     },
                     LambertConformalConic2Forward, LambertConformalConic2Inverse, setUp, forward,
                     setUp, 0, 0});
    }
    {
        std::vector<FlagToStatus> setUp = {
            {NEYS_SemiMajorAxisError, GES_SemiMajorAxisError},
            {NEYS_InverseFlatteningError, GES_InverseFlatteningError},
            {NEYS_OriginLatitudeError, GES_OriginLatitudeError},
            {NEYS_CentralMeridianError, GES_CentralMeridianError},
            {NEYS_StandardParallelError, GES_StandardParallelError},
            {NEYS_ScaleFactorError, GES_ScaleFactorError},
            {NEYS_EastingError, GES_EastingError},
            {NEYS_NorthingError, GES_NorthingError},
        };
        std::vector<FlagToStatus> forward = setUp;
        forward.push_back({NEYS_LatitudeError, GES_LatitudeError});
        forward.push_back({NEYS_LongitudeError, GES_LongitudeError});
        t.push_back({CSYS_Neys, 5,
                     [](double a, double f, const double* p) {
                         return NeysSetParameters(a, f, p[0], p[1], p[2], p[3], p[4]);
                     },
                     [](double* p) {
                         double a, f;
                         NeysGetParameters(a, f, p[0], p[1], p[2], p[3], p[4]);
                     },
                     NeysForward, NeysInverse, setUp, forward, setUp, 0, 0});
    }
    {
        const std::vector<FlagToStatus> setUp = {
            {AEA_SemiMajorAxisError, GES_SemiMajorAxisError},
            {AEA_InverseFlatteningError, GES_InverseFlatteningError},
            {AEA_OriginLatitudeError, GES_OriginLatitudeError},
            {AEA_CentralMeridianError, GES_CentralMeridianError},
            {AEA_FirstParallelError, GES_FirstStandardParallelError},
            {AEA_SecondParallelError, GES_SecondStandardParallelError},
            {AEA_ZeroParallelsError, GES_StandardParallelsError},
            {AEA_OppositeParallelsError, GES_StandardParallelsError},
            {AEA_EastingError, GES_EastingError},
            {AEA_NorthingError, GES_NorthingError},
        };
        t.push_back(
            {CSYS_AlbersEqualAreaConic, 6,
             [](double a, double f, const double* p) {
                 return AlbersEqualAreaConicSetParameters(a, f, p[0], p[1], p[2], p[3], p[4], p[5]);
             },
             [](double* p) {
                 double a, f;
                 AlbersEqualAreaConicGetParameters(a, f, p[0], p[1], p[2], p[3], p[4], p[5]);
             },
             AlbersEqualAreaConicForward, AlbersEqualAreaConicInverse, setUp, CommonForward(),
             CommonInverse(), 0, 0});
    }
}

// The azimuthal modules; the two stereographic ones number their flags
// their own way.
void AddAzimuthals(std::vector<ProjectionModule>& t) {
    {
        const std::vector<FlagToStatus> setUp = {
            {PST_SemiMajorAxisError, GES_SemiMajorAxisError},
            {PST_InverseFlatteningError, GES_InverseFlatteningError},
            {PST_TrueScaleLatitudeError, GES_OriginLatitudeError},
            {PST_LongitudeDownError, GES_CentralMeridianError},
            {PST_EastingError, GES_EastingError},
            {PST_NorthingError, GES_NorthingError},
        };
        t.push_back(
            {CSYS_PolarStereographic,
             4,
             [](double a, double f, const double* p) {
                 return PolarStereographicSetParameters(a, f, p[0], p[1], p[2], p[3]);
             },
             [](double* p) {
                 double a, f;
                 PolarStereographicGetParameters(a, f, p[0], p[1], p[2], p[3]);
             },
             PolarStereographicForward,
             PolarStereographicInverse,
             setUp,
             {{PST_LatitudeError, GES_LatitudeError}, {PST_LongitudeError, GES_LongitudeError}},
             {{PST_EastingError, GES_EastingError}, {PST_NorthingError, GES_NorthingError}},
             0,
             0});
    }
    {
        const std::vector<FlagToStatus> setUp = {
            {STG_SemiMajorAxisError, GES_SemiMajorAxisError},
            {STG_InverseFlatteningError, GES_InverseFlatteningError},
            {STG_OriginLatitudeError, GES_OriginLatitudeError},
            {STG_CentralMeridianError, GES_CentralMeridianError},
            {STG_EastingError, GES_EastingError},
            {STG_NorthingError, GES_NorthingError},
        };
        t.push_back(
            {CSYS_Stereographic,
             4,
             [](double a, double f, const double* p) {
                 return StereographicSetParameters(a, f, p[0], p[1], p[2], p[3]);
             },
             [](double* p) {
                 double a, f;
                 StereographicGetParameters(a, f, p[0], p[1], p[2], p[3]);
             },
             StereographicForward,
             StereographicInverse,
             setUp,
             {{STG_LatitudeError, GES_LatitudeError}, {STG_LongitudeError, GES_LongitudeError}},
             {{STG_EastingError, GES_EastingError}, {STG_NorthingError, GES_NorthingError}},
             0,
             0});
    }
    {
        ProjectionModule m =
            FourParameterModule<OrthographicSetParameters, OrthographicGetParameters>(
                CSYS_Orthographic, GES_OriginLatitudeError, OrthographicForward,
                OrthographicInverse);
        m.inverseFlags.push_back({ORTH_RadiusError, GES_RadiusError});
        t.push_back(m);
    }
    t.push_back(FourParameterModule<GnomonicSetParameters, GnomonicGetParameters>(
        CSYS_Gnomonic, GES_OriginLatitudeError, GnomonicForward, GnomonicInverse));
    {
        ProjectionModule m = FourParameterModule<AzimuthalEquidistantSetParameters,
                                                 AzimuthalEquidistantGetParameters>(
            CSYS_AzimuthalEquidistant, GES_OriginLatitudeError, AzimuthalEquidistantForward,
            AzimuthalEquidistantInverse);
        m.forwardFlags.push_back({AZEQ_OppositePointError, GES_OppositePointError});
        t.push_back(m);
    }
}

std::vector<ProjectionModule> BuildTable() {
    std::vector<ProjectionModule> t;
    t.push_back(ThreeParameterModule<SinusoidalSetParameters, SinusoidalGetParameters>(
        CSYS_Sinusoidal, SinusoidalForward, SinusoidalInverse));
    t.push_back(
        ThreeParameterModule<MillerCylindricalSetParameters, MillerCylindricalGetParameters>(
            CSYS_MillerCylindrical, MillerCylindricalForward, MillerCylindricalInverse));
    t.push_back(ThreeParameterModule<MollweideSetParameters, MollweideGetParameters>(
        CSYS_Mollweide, MollweideForward, MollweideInverse));
    t.push_back(ThreeParameterModule<EckertIVSetParameters, EckertIVGetParameters>(
        CSYS_EckertIV, EckertIVForward, EckertIVInverse));
    t.push_back(ThreeParameterModule<EckertVISetParameters, EckertVIGetParameters>(
        CSYS_EckertVI, EckertVIForward, EckertVIInverse));
    t.push_back(FourParameterModule<EquidistantCylindricalSetParameters,
                                    EquidistantCylindricalGetParameters>(
        CSYS_EquidistantCylindrical, GES_StandardParallelError, EquidistantCylindricalForward,
        EquidistantCylindricalInverse));
    t.push_back(
        FourParameterModule<CylindricalEqualAreaSetParameters, CylindricalEqualAreaGetParameters>(
            CSYS_CylindricalEqualArea, GES_StandardParallelError, CylindricalEqualAreaForward,
            CylindricalEqualAreaInverse));
    {
        ProjectionModule m = FourParameterModule<CassiniSetParameters, CassiniGetParameters>(
            CSYS_Cassini, GES_OriginLatitudeError, CassiniForward, CassiniInverse);
        m.forwardFlags = CommonForward(CAS_LongitudeWarning);
        m.forwardWarnings = CAS_LongitudeWarning;
        m.inverseWarnings = CAS_LongitudeWarning;
        t.push_back(m);
    }
    {
        ProjectionModule m{CSYS_TransverseCylindricalEqualArea,
                           5,
                           [](double a, double f, const double* p) {
                               return TransverseCylindricalEqualAreaSetParameters(a, f, p[0], p[1],
                                                                                  p[2], p[3], p[4]);
                           },
                           [](double* p) {
                               double a, f;
                               TransverseCylindricalEqualAreaGetParameters(a, f, p[0], p[1], p[2],
                                                                           p[3], p[4]);
                           },
                           TransverseCylindricalEqualAreaForward,
                           TransverseCylindricalEqualAreaInverse,
                           CommonSetUp(GES_OriginLatitudeError),
                           CommonForward(TCEA_LongitudeWarning),
                           CommonInverse(),
                           TCEA_LongitudeWarning,
                           0};
        m.setUpFlags.push_back({TCEA_ScaleFactorError, GES_ScaleFactorError});
        t.push_back(m);
    }
    {
        ProjectionModule m = FourParameterModule<PolyconicSetParameters, PolyconicGetParameters>(
            CSYS_Polyconic, GES_OriginLatitudeError, PolyconicForward, PolyconicInverse);
        m.forwardFlags = CommonForward(POLY_LongitudeWarning);
        m.forwardWarnings = POLY_LongitudeWarning;
        t.push_back(m);
    }
    t.push_back(FourParameterModule<BonneSetParameters, BonneGetParameters>(
        CSYS_Bonne, GES_OriginLatitudeError, BonneForward, BonneInverse));
    AddCones(t);
    AddAzimuthals(t);
    {
        ProjectionModule m =
            ThreeParameterModule<VanDerGrintenSetParameters, VanDerGrintenGetParameters>(
                CSYS_VanDerGrinten, VanDerGrintenForward, VanDerGrintenInverse);
        m.inverseFlags.push_back({VDG_RadiusError, GES_RadiusError});
        t.push_back(m);
    }
    {
        const std::vector<FlagToStatus> setUp = {
            {OMERC_SemiMajorAxisError, GES_SemiMajorAxisError},
            {OMERC_InverseFlatteningError, GES_InverseFlatteningError},
            {OMERC_OriginLatitudeError, GES_OriginLatitudeError},
            {OMERC_Latitude1Error, GES_Latitude1Error},
            {OMERC_Latitude2Error, GES_Latitude2Error},
            {OMERC_Longitude1Error, GES_Longitude1Error},
            {OMERC_Longitude2Error, GES_Longitude2Error},
            {OMERC_EqualLatitudesError, GES_EqualLatitudesError},
            {OMERC_HemisphereError, GES_HemisphereError},
            {OMERC_ScaleFactorError, GES_ScaleFactorError},
            {OMERC_EastingError, GES_EastingError},
            {OMERC_NorthingError, GES_NorthingError},
        };
        t.push_back(
            {CSYS_ObliqueMercator,
             8,
             [](double a, double f, const double* p) {
                 return ObliqueMercatorSetParameters(a, f, p[0], p[1], p[2], p[3], p[4], p[5], p[6],
                                                     p[7]);
             },
             [](double* p) {
                 double a, f;
                 ObliqueMercatorGetParameters(a, f, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
             },
             ObliqueMercatorForward,
             ObliqueMercatorInverse,
             setUp,
             {{OMERC_LatitudeError, GES_LatitudeError},
              {OMERC_LongitudeError, GES_LongitudeError},
              {OMERC_LongitudeWarning, GES_LongitudeWarning}},
             {{OMERC_EastingError, GES_EastingError}, {OMERC_NorthingError, GES_NorthingError}},
             OMERC_LongitudeWarning,
             OMERC_LongitudeWarning});
    }
    return t;
}

} // namespace

const ProjectionModule* FindProjectionModule(std::uint32_t type) {
    static const std::vector<ProjectionModule> table = BuildTable();
    for (const ProjectionModule& m : table)
        if (m.type == type)
            return &m;
    return nullptr;
}

std::uint32_t MapModuleFlags(std::uint32_t flags, const std::vector<FlagToStatus>& map) {
    std::uint32_t status = 0;
    for (const FlagToStatus& m : map)
        if (flags & m.flag)
            status |= m.status;
    return status;
}

} // namespace geoengine
