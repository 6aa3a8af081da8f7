#pragma once
// What the benchmark programs share: a scratch folder for the files they
// generate, the generated files themselves, the random shapes and boxes
// several of them draw, and the medians their closing lines report.

#include "core/AttributeField.h"
#include "geometry/DoubleRect.h"
#include "shapes/FileWriter.h"
#include "shapes/ShapeFile.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <malloc.h>
#include <unistd.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

// A folder of the process under TMPDIR (or /tmp), made on first use.
inline const std::string& BenchFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/corvale-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return folder;
}

// Bytes the process holds on the heap now: what a structure costs is the
// difference before and after building it.
inline std::size_t HeapInUse() {
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

// Writes a file's pages out and drops them from the page cache, so that the
// next open reads it from the disk as on a cold start.
inline bool DropFromPageCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    ::fdatasync(fd);
    const bool dropped = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

// The median of a list of timings (the upper one of an even count); 0 for none.
inline double MedianOf(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The closing line of a comparison whose peer was left out of this build:
// the run goes on alone, and says so.
inline void ReportMissingPeer(const char* comparison, const char* peer, const char* packages) {
    std::printf("%s: NO COMPARISON, %s was not found when this tree was configured (install %s, "
                "e.g. with scripts/setup.sh --tests, and configure again)\n",
                comparison, peer, packages);
}

inline void RemoveBenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(BenchFolder(), ec);
}

// Writes stem.shp and stem.shx with count points on a grid 1000 wide.
inline void WritePointGrid(const std::string& stem, std::size_t count) {
    std::vector<unsigned char> buffer(28 * count);
    std::vector<const CShapeRecord*> records(count);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char* p = buffer.data() + 28 * i;
        CShapePointCreator(static_cast<std::uint32_t>(i + 1))
            .CreatePoint(p, static_cast<double>(i % 1000), static_cast<double>(i / 1000));
        records[i] = CShapeRecord::FromBytes(p);
    }
    CFileWriter shp, shx;
    if (!shp.Open((stem + ".shp").c_str()) || !shx.Open((stem + ".shx").c_str()) ||
        !WriteShapeFile(shp, &shx, SHT_Point, count, records.data()) || !shp.Close() || !shx.Close())
        std::abort();
}

// The record of a one-part polygon: a ring of corners vertices around
// (cx, cy), each radius times a draw of wobble away from the centre (one draw
// for x, then one for y), clockwise as shape files keep outer rings and closed
// on its first vertex.
inline std::unique_ptr<unsigned char[]> WobblyRing(std::mt19937& random, std::uniform_real_distribution<double>& wobble,
                                                   double cx, double cy, double radius, int corners,
                                                   std::uint32_t recordNumber) {
    constexpr double kPi = 3.14159265358979323846;
    CShapeRecordBuilder builder;
    builder.m_PartCount = 1;
    builder.m_PointCount = static_cast<std::uint32_t>(corners + 1);
    builder.m_RecordNumber = recordNumber;
    auto bytes = std::make_unique<unsigned char[]>(CShapeRecordBuilder::RecordSize(1, builder.m_PointCount));
    builder.m_Record = bytes.get();
    if (!builder.BeginPolygon())
        std::abort();
    double first[2] = {0.0, 0.0};
    for (int k = 0; k < corners; ++k) {
        const double angle = -2.0 * kPi * k / corners;
        const double x = cx + radius * wobble(random) * std::cos(angle);
        const double y = cy + radius * wobble(random) * std::sin(angle);
        if (k == 0) {
            first[0] = x;
            first[1] = y;
        }
        if (!builder.AddPoint(x, y))
            std::abort();
    }
    if (!builder.AddPoint(first[0], first[1]))
        std::abort();
    return bytes;
}

// A box with its lower left corner drawn from position (x, then y) and its
// sides from side: the height is drawn before the width, so the boxes stay
// the ones earlier runs of the benchmarks measured.
inline CDoubleRect RandomBox(std::mt19937& random, std::uniform_real_distribution<double>& position,
                             std::uniform_real_distribution<double>& side) {
    const double x = position(random);
    const double y = position(random);
    const double height = side(random);
    const double width = side(random);
    return CDoubleRect(x, y, x + width, y + height);
}

inline CAttributeFieldInfo BenchField(const char* name, std::int32_t length, std::int32_t decimals, std::int32_t type) {
    CAttributeFieldInfo info;
    info.m_Name = name;
    info.m_Length = length;
    info.m_Decimals = decimals;
    info.m_Type = type;
    return info;
}

// The median of a counter and of the real time per benchmark (its name with
// its arguments, "BM_Window/1000000"), over the repetitions of a run: from
// the rows of each repetition, or from the median rows when only those are
// reported (--benchmark_report_aggregates_only).
//
// Every figure kept is by the wall clock. The library divides a rate counter
// by the CPU time of the benchmark's own thread unless the benchmark was
// registered with UseRealTime(): for work handed to other threads that time
// leaves most of the work out. A rate of a benchmark timed by the CPU is
// therefore turned back into one per second of real time here.
class BenchMedians {
public:
    using Run = benchmark::BenchmarkReporter::Run;

    void Take(const Run& run, const std::string& counter) {
        const std::string key = Key(run);
        auto it = run.counters.find(counter);
        const double rate = it != run.counters.end() ? WallClockRate(run, it->second) : 0.0;
        if (run.run_type == Run::RT_Iteration) {
            if (it != run.counters.end())
                m_Rates[key].push_back(rate);
            m_Times[key].push_back(run.GetAdjustedRealTime());
            for (const auto& [name, value] : run.counters)
                m_Others[key + "|" + name].push_back(value.value);
        } else if (run.aggregate_name == "median") {
            if (it != run.counters.end())
                m_MedianRates[key] = rate;
            m_MedianTimes[key] = run.GetAdjustedRealTime();
            for (const auto& [name, value] : run.counters)
                m_MedianOthers[key + "|" + name] = value.value;
        }
    }

    // The kept counter per second of real time.
    double Rate(const std::string& name) const { return Median(name, m_Rates, m_MedianRates); }
    double Time(const std::string& name) const { return Median(name, m_Times, m_MedianTimes); }
    // Any other counter of the benchmark, 0 when it has none.
    double Counter(const std::string& name, const std::string& counter) const {
        return Median(name + "|" + counter, m_Others, m_MedianOthers);
    }

private:
    // A rate counter per second of real time: as the library gave it for a
    // benchmark timed by the wall clock (or by times it was handed), else
    // scaled from the CPU seconds it was divided by to the real seconds the
    // run took.
    static double WallClockRate(const Run& run, const benchmark::Counter& counter) {
        if (!(counter.flags & benchmark::Counter::kIsRate) || !run.run_name.time_type.empty() ||
            run.real_accumulated_time <= 0.0)
            return counter.value;
        return counter.value * run.cpu_accumulated_time / run.real_accumulated_time;
    }

    static std::string Key(const Run& run) {
        return run.run_name.args.empty() ? run.run_name.function_name
                                         : run.run_name.function_name + "/" + run.run_name.args;
    }
    static double Median(const std::string& name, const std::map<std::string, std::vector<double>>& values,
                         const std::map<std::string, double>& medians) {
        auto m = medians.find(name);
        if (m != medians.end())
            return m->second;
        auto v = values.find(name);
        return v != values.end() ? MedianOf(v->second) : 0.0;
    }

    std::map<std::string, std::vector<double>> m_Rates;
    std::map<std::string, std::vector<double>> m_Times;
    std::map<std::string, double> m_MedianRates;
    std::map<std::string, double> m_MedianTimes;
    std::map<std::string, std::vector<double>> m_Others;
    std::map<std::string, double> m_MedianOthers;
};

// Prints the usual console table, keeping the median of one counter and of
// the real time of each benchmark, then the program's closing lines, which
// its summary writes from those medians.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    using Summary = std::function<void(const BenchMedians&)>;

    MedianReporter(const char* counter, OutputOptions options, Summary summary)
        : ConsoleReporter(options), m_Counter(counter), m_Summary(std::move(summary)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            m_Medians.Take(run, m_Counter);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        m_Summary(m_Medians);
    }

private:
    BenchMedians m_Medians;
    std::string m_Counter;
    Summary m_Summary;
};

// The programs' main: runs the benchmarks the command line names through the
// reporter; 1 for an argument the benchmark library does not know.
inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
