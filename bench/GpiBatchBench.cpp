// A plug-in that imports a million points goes through the host's update
// batch: begin with room reserved, one add-point call per point, end. The
// per-shape work (bounds, index, refresh) is left to the end of the batch, so
// the whole import should cost about what opening a shape file of the same
// million points costs.
//
// The plug-in is stood in for by calls to the host's dispatch entry, which is
// all a loaded plug-in reaches.

#include "core/Theme.h"
#include "workspace/CorvaleDoc.h"
#include "workspace/gpi/GpiHost.h"
#include "workspace/gpi/GpiState.h"

#include "BenchSupport.h"
#include "Gpi.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr std::uint32_t kCount = 1000000;

// A started plug-in as the plug-in manager lists one, without a library.
std::uint32_t AddBenchPlugin() {
    auto plugin = std::make_unique<CGpiPlugin>();
    plugin->m_GuidText = "{00000000-0000-0000-0000-0000000000b1}";
    plugin->m_Valid = 1;
    plugin->m_Initialised = 1;
    plugin->m_InitInfo.dispatch = &GpiHostDispatch;
    return GpiAddPlugin(std::move(plugin));
}

void BM_GpiBatchAddPoints(benchmark::State& state) {
    GpiInitializeLock();
    const std::uint32_t identity = AddBenchPlugin();
    for (auto _ : state) {
        state.PauseTiming();
        auto document = std::make_unique<CCorvaleDoc>();
        CTheme* theme = document->CreateTheme("Imported", SHT_Point);
        if (!theme->ConvertToNative(true, true))
            std::abort();
        document->m_themes.push_back(theme);
        const std::uint32_t handle = GpiThemeHandle(theme);
        state.ResumeTiming();

        GpiThemeUpdateBatchReserveArgs begin = {identity, handle, 0, kCount};
        if (GpiHostDispatch(GPIOP_ThemeUpdateBatchReserve, &begin) != GPIERR_NoError)
            state.SkipWithError("batch begin failed");
        for (std::uint32_t i = 0; i < kCount; ++i) {
            GpiThemeAddPointArgs add = {handle, 0, static_cast<double>(i % 1000), static_cast<double>(i / 1000),
                                        nullptr};
            if (GpiHostDispatch(GPIOP_ThemeAddPoint, &add) != GPIERR_NoError) {
                state.SkipWithError("add point failed");
                break;
            }
        }
        GpiThemeUpdateBatchArgs end = {identity, handle, 1};
        if (GpiHostDispatch(GPIOP_ThemeUpdateBatch, &end) != GPIERR_NoError ||
            theme->GetShapeCount() != static_cast<int>(kCount))
            state.SkipWithError("batch end failed");

        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    GpiTestReset();
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(kCount) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// The yardstick: opening a shape file of the same million points.
void BM_OpenPointShapeFile(benchmark::State& state) {
    static const std::string stem = [] {
        const std::string stem = BenchFolder() + "/points";
        WritePointGrid(stem, kCount);
        return stem;
    }();
    for (auto _ : state) {
        CTheme theme;
        if (!theme.OpenShapeFile(stem + ".shp") || theme.GetShapeCount() != static_cast<int>(kCount))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(theme.m_Bounds[0]);
    }
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(kCount) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

} // namespace

// Both by the wall clock: opening the shape file checks its records on
// several threads, which the CPU time of the calling thread leaves out.
BENCHMARK(BM_GpiBatchAddPoints)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenPointShapeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveBenchFolder();
    return 0;
}
