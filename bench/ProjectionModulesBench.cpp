// 1,000,000 points through each projection module of the engine, forward and
// inverse, one point at a time as the engine converts them, on the module's
// start parameters. Where PROJ is installed (libproj-dev, found through
// pkg-config at configure time), the same projection with the same
// parameters and ellipsoid runs next to it through proj_trans_generic, PROJ's
// batch call. Items per second is points per second on one core.
//
// A module is set against PROJ only where PROJ computes the same thing: the
// same form (ellipsoidal or spherical) with the same parameters. Where PROJ
// has no such form the module's line says so. Where it has, the run checks
// that both give the same coordinates for every point, within a millimetre
// (on the map forward, on the ground inverse): a pair that differs more is
// not doing the same work, and its line gives the difference, no ratio.

#include "crs/engine/GeoEngine.h"
#include "crs/engine/ProjectionModules.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#ifdef CORVALE_BENCH_WITH_PROJ
#include <proj.h>
#endif

namespace {

constexpr std::size_t kPoints = 1000000;
constexpr double kDegree = 3.141592653589793 / 180.0;
constexpr double kA = 6378137.0;
constexpr double kF = 1.0 / 298.257223563;

// The sphere of the spherical modules on WGS 84.
const std::string kSphere = "+R=6371007.181082";

struct Projection {
    std::uint32_t type;
    const char* name;
    // PROJ's definition of the same computation on the module's start
    // parameters; empty where PROJ has none.
    std::string proj;
    // Where proj is empty: what PROJ lacks.
    const char* unlike = nullptr;
};

const std::vector<Projection>& Projections() {
    static const std::vector<Projection> all = {
        {CSYS_Sinusoidal, "Sinusoidal", "+proj=sinu +ellps=WGS84"},
        {CSYS_MillerCylindrical, "MillerCylindrical", "+proj=mill " + kSphere},
        {CSYS_Mollweide, "Mollweide", "+proj=moll " + kSphere},
        {CSYS_EckertIV, "EckertIV", "+proj=eck4 " + kSphere},
        {CSYS_EckertVI, "EckertVI", "+proj=eck6 " + kSphere},
        {CSYS_EquidistantCylindrical, "EquidistantCylindrical", "+proj=eqc " + kSphere},
        {CSYS_CylindricalEqualArea, "CylindricalEqualArea", "+proj=cea +ellps=WGS84"},
        // The module is ellipsoidal; PROJ's tcea is the spherical form alone,
        // whatever ellipsoid it is given.
        {CSYS_TransverseCylindricalEqualArea, "TransverseCylindricalEqualArea", "",
         "PROJ has only the spherical form (tcea), the module is ellipsoidal"},
        {CSYS_Cassini, "Cassini", "+proj=cass +ellps=WGS84"},
        {CSYS_LambertConformalConic1, "LambertConformalConic1",
         "+proj=lcc +lat_0=45 +lat_1=45 +ellps=WGS84"},
        {CSYS_LambertConformalConic2, "LambertConformalConic2",
         "+proj=lcc +lat_0=45 +lat_1=40 +lat_2=50 +ellps=WGS84"},
        {CSYS_Neys, "Neys", "+proj=lcc +lat_0=80 +lat_1=71 +lat_2=89d59'59\" +ellps=WGS84"},
        {CSYS_AlbersEqualAreaConic, "AlbersEqualAreaConic",
         "+proj=aea +lat_0=45 +lat_1=40 +lat_2=50 +ellps=WGS84"},
        {CSYS_Polyconic, "Polyconic", "+proj=poly +ellps=WGS84"},
        {CSYS_Bonne, "Bonne", "+proj=bonne +lat_1=45 +ellps=WGS84"},
        {CSYS_PolarStereographic, "PolarStereographic",
         "+proj=stere +lat_0=90 +lat_ts=90 +ellps=WGS84"},
        {CSYS_Stereographic, "Stereographic", "+proj=stere +lat_0=0 " + kSphere},
        {CSYS_Orthographic, "Orthographic", "+proj=ortho +lat_0=0 " + kSphere},
        {CSYS_Gnomonic, "Gnomonic", "+proj=gnom +lat_0=0 " + kSphere},
        {CSYS_AzimuthalEquidistant, "AzimuthalEquidistant", "+proj=aeqd +lat_0=0 " + kSphere},
        {CSYS_ObliqueMercator, "ObliqueMercator",
         "+proj=omerc +lat_0=45 +lat_1=40 +lon_1=-5 +lat_2=50 +lon_2=5 +ellps=WGS84"},
        {CSYS_VanDerGrinten, "VanDerGrinten", "+proj=vandg " + kSphere},
    };
    return all;
}

// Latitudes 10..60 and longitudes -40..40 degrees: inside every module's
// map on its start parameters (the northern polar stereographic and the
// hemisphere of the orthographic and gnomonic ones included).
struct Points {
    std::vector<double> lat;
    std::vector<double> lon;
};

const Points& GeodeticPoints() {
    static const Points points = [] {
        Points p;
        p.lat.resize(kPoints);
        p.lon.resize(kPoints);
        for (std::size_t i = 0; i < kPoints; ++i) {
            p.lon[i] = (-40.0 + 80.0 * static_cast<double>(i % 1000) / 1000.0) * kDegree;
            p.lat[i] = (10.0 + 50.0 * static_cast<double>(i / 1000) / 1000.0) * kDegree;
        }
        return p;
    }();
    return points;
}

const geoengine::ProjectionModule& SetUp(std::uint32_t type) {
    const geoengine::ProjectionModule* module = geoengine::FindProjectionModule(type);
    double record[8] = {};
    module->startValues(record);
    module->setUp(kA, kF, record);
    return *module;
}

void Forward(benchmark::State& state, std::uint32_t type) {
    const geoengine::ProjectionModule& module = SetUp(type);
    const Points& in = GeodeticPoints();
    std::vector<double> e(kPoints), n(kPoints);
    for (auto _ : state) {
        std::size_t failed = 0;
        for (std::size_t i = 0; i < kPoints; ++i)
            if (module.forward(in.lat[i], in.lon[i], e[i], n[i]) & ~module.forwardWarnings)
                ++failed;
        if (failed != 0)
            state.SkipWithError("a point was refused");
        benchmark::DoNotOptimize(e.data());
        benchmark::DoNotOptimize(n.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}

void Inverse(benchmark::State& state, std::uint32_t type) {
    const geoengine::ProjectionModule& module = SetUp(type);
    const Points& geo = GeodeticPoints();
    Points in;
    in.lat.resize(kPoints);
    in.lon.resize(kPoints);
    for (std::size_t i = 0; i < kPoints; ++i)
        module.forward(geo.lat[i], geo.lon[i], in.lon[i], in.lat[i]);
    std::vector<double> lat(kPoints), lon(kPoints);
    for (auto _ : state) {
        std::size_t failed = 0;
        for (std::size_t i = 0; i < kPoints; ++i)
            if (module.inverse(in.lon[i], in.lat[i], lat[i], lon[i]) & ~module.inverseWarnings)
                ++failed;
        if (failed != 0)
            state.SkipWithError("a point was refused");
        benchmark::DoNotOptimize(lat.data());
        benchmark::DoNotOptimize(lon.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}

#ifdef CORVALE_BENCH_WITH_PROJ
// One millimetre: the widest gap between a module's coordinates and PROJ's
// for which both compute the same thing.
constexpr double kSameWithin = 0.001;

// The widest gap in metres found between a module and PROJ, per benchmark
// name ("Sinusoidal/Forward"): found by the PROJ run, read by the summary.
std::map<std::string, double>& Gaps() {
    static std::map<std::string, double> gaps;
    return gaps;
}

// The widest gap between the module's results and PROJ's for the same
// input, in metres: on the map for the forward, on the ground for the
// inverse. Infinite where either refused a point (PROJ gives HUGE_VAL) or
// gave NaN.
double WidestGap(const std::vector<double>& ourX, const std::vector<double>& ourY, const std::vector<double>& x,
                 const std::vector<double>& y, PJ_DIRECTION direction) {
    double widest = 0.0;
    for (std::size_t i = 0; i < kPoints; ++i) {
        // The inverse gives (longitude, latitude) in radians.
        const double gap = direction == PJ_FWD
                               ? std::hypot(ourX[i] - x[i], ourY[i] - y[i])
                               : kA * std::hypot(ourY[i] - y[i], (ourX[i] - x[i]) * std::cos(ourY[i]));
        if (!(gap <= widest))
            widest = std::isnan(gap) ? HUGE_VAL : gap;
    }
    return widest;
}

// PROJ over the same input as the module: the geodetic points forward, the
// module's own forward results inverse. Once per benchmark, outside the
// timing, the results are set against the module's.
void Proj(benchmark::State& state, const std::string& name, std::uint32_t type, const std::string& definition,
          PJ_DIRECTION direction) {
    PJ_CONTEXT* context = proj_context_create();
    PJ* pj = proj_create(context, definition.c_str());
    if (!pj) {
        state.SkipWithError("PROJ refused the definition");
        proj_context_destroy(context);
        return;
    }
    const geoengine::ProjectionModule& module = SetUp(type);
    const Points& geo = GeodeticPoints();
    // Input and the module's results: (longitude, latitude) or (easting,
    // northing), x first as PROJ takes them.
    std::vector<double> x0(geo.lon), y0(geo.lat);
    std::vector<double> ourX(kPoints), ourY(kPoints);
    for (std::size_t i = 0; i < kPoints; ++i)
        module.forward(geo.lat[i], geo.lon[i], ourX[i], ourY[i]);
    if (direction == PJ_INV) {
        x0 = ourX;
        y0 = ourY;
        for (std::size_t i = 0; i < kPoints; ++i)
            module.inverse(x0[i], y0[i], ourY[i], ourX[i]);
    }
    std::vector<double> x(kPoints), y(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        x = x0;
        y = y0;
        state.ResumeTiming();
        proj_trans_generic(pj, direction, x.data(), sizeof(double), kPoints, y.data(),
                           sizeof(double), kPoints, nullptr, 0, 0, nullptr, 0, 0);
        benchmark::DoNotOptimize(x.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    const double gap = WidestGap(ourX, ourY, x, y, direction);
    Gaps()[name] = gap;
    state.counters["widest gap mm"] = gap * 1000.0;
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
    proj_destroy(pj);
    proj_context_destroy(context);
}
#endif

void RegisterAll() {
    for (const Projection& p : Projections()) {
        const std::uint32_t type = p.type;
        for (const bool forward : {true, false}) {
            const std::string name = std::string(p.name) + (forward ? "/Forward" : "/Inverse");
            benchmark::RegisterBenchmark(name.c_str(), [type, forward](benchmark::State& s) {
                if (forward)
                    Forward(s, type);
                else
                    Inverse(s, type);
            })->Unit(benchmark::kMillisecond);
#ifdef CORVALE_BENCH_WITH_PROJ
            if (p.proj.empty())
                continue;
            const std::string definition = p.proj;
            const PJ_DIRECTION direction = forward ? PJ_FWD : PJ_INV;
            benchmark::RegisterBenchmark((name + "/PROJ").c_str(), [name, type, definition, direction](
                                                                      benchmark::State& s) {
                Proj(s, name, type, definition, direction);
            })->Unit(benchmark::kMillisecond);
#endif
        }
    }
}

// After the usual table: each module's time against PROJ's for the same
// projection and direction (medians, when there are repetitions), where
// both compute the same thing and gave the same coordinates.
void Summarise(const BenchMedians& medians) {
#ifndef CORVALE_BENCH_WITH_PROJ
    (void)medians;
    ReportMissingPeer("projection modules against PROJ", "PROJ", "libproj-dev");
#else
    for (const Projection& p : Projections())
        for (const char* direction : {"Forward", "Inverse"}) {
            const std::string name = std::string(p.name) + "/" + direction;
            const double ours = medians.Time(name);
            if (!(ours > 0.0))
                continue;
            if (p.proj.empty()) {
                std::printf("%s: module %.2f ms, NOT COMPARABLE with PROJ: %s\n", name.c_str(), ours, p.unlike);
                continue;
            }
            const double proj = medians.Time(name + "/PROJ");
            const auto gap = Gaps().find(name);
            if (!(proj > 0.0) || gap == Gaps().end())
                continue;
            if (gap->second <= kSameWithin)
                std::printf("%s: module %.2f ms, PROJ %.2f ms, module/PROJ time %.2f (same coordinates within "
                            "%.3f mm)\n",
                            name.c_str(), ours, proj, ours / proj, gap->second * 1000.0);
            else if (gap->second < 1.0)
                std::printf("%s: module %.2f ms, PROJ %.2f ms, NOT COMPARABLE: their coordinates differ by up "
                            "to %.4g mm, more than %.0f mm\n",
                            name.c_str(), ours, proj, gap->second * 1000.0, kSameWithin * 1000.0);
            else
                std::printf("%s: module %.2f ms, PROJ %.2f ms, NOT COMPARABLE: their coordinates differ by up "
                            "to %.4g m, more than %.0f mm\n",
                            name.c_str(), ours, proj, gap->second, kSameWithin * 1000.0);
        }
#endif
}

} // namespace

int main(int argc, char** argv) {
    RegisterAll();
    MedianReporter reporter("items_per_second", MedianReporter::OO_Defaults, Summarise);
    return RunBenchmarks(argc, argv, reporter);
}
