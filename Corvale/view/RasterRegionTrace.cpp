#include "view/RasterRegionTrace.h"

#include "core/ColourText.h"
#include "view/MapDrawing.h"

#include <QImage>

#include <cmath>
#include <limits>

std::int32_t CSimilarColourRegion::Classify(std::int32_t column, std::int32_t row) const {
    const std::int32_t colour = GetDibPixel(m_Image, column, row);
    if (colour < 0)
        return -1;
    const auto pixel = static_cast<std::uint32_t>(colour);
    if (pixel == m_SeedColour || IsColourSimilar(pixel, m_SeedColour, m_ChromaThreshold, m_HueTolerance))
        return static_cast<std::int32_t>(m_SeedColour);
    return colour;
}

bool CSimilarColourRegion::Contains(std::int32_t column, std::int32_t row) const {
    return Classify(column, row) == static_cast<std::int32_t>(m_SeedColour);
}

namespace {

// Directions of a move, numbered as the trace's states: the state is the
// direction of the last move. Rows grow downward, so south is row + 1.
enum Direction { None = 0, E = 1, SE = 2, S = 3, SW = 4, W = 5, NW = 6, N = 7, NE = 8 };
constexpr std::int32_t kDx[9] = {0, 1, 1, 0, -1, -1, -1, 0, 1};
constexpr std::int32_t kDy[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};

// One rule: when 'first' is in the region, move to 'second' if that is in the
// region too (and 'second' is given), otherwise to 'first'.
struct Rule {
    Direction first;
    Direction second;
};

// The rules of each state, tried in order; the first that holds moves. They
// keep the region on the right hand while the boundary is walked clockwise.
constexpr Rule kRules[9][5] = {
    {},
    {{N, None}, {E, NE}, {S, SE}, {SW, None}, {W, None}},
    {{E, NE}, {S, SE}, {W, SW}, {None, None}, {None, None}},
    {{E, None}, {S, SE}, {W, SW}, {NW, None}, {N, None}},
    {{S, SE}, {W, SW}, {N, NW}, {None, None}, {None, None}},
    {{S, None}, {W, SW}, {N, NW}, {NE, None}, {E, None}},
    {{W, SW}, {N, NW}, {E, NE}, {None, None}, {None, None}},
    {{W, None}, {N, NW}, {E, NE}, {SE, None}, {S, None}},
    {{N, NW}, {E, NE}, {S, SE}, {None, None}, {None, None}},
};

bool InRegion(const CPixelRegion& region, const CPixelPosition& p, Direction d) {
    return region.Contains(p.column + kDx[d], p.row + kDy[d]);
}

// One step of the boundary walk: moves p and answers the new state, or leaves
// both when no rule holds.
int Step(const CPixelRegion& region, CPixelPosition& p, int state) {
    for (const Rule& rule : kRules[state]) {
        if (rule.first == None || !InRegion(region, p, rule.first))
            continue;
        const Direction to = rule.second != None && InRegion(region, p, rule.second) ? rule.second : rule.first;
        p.column += kDx[to];
        p.row += kDy[to];
        return to;
    }
    return state;
}

double Distance(const CPixelPosition& a, const CPixelPosition& b) {
    return std::hypot(static_cast<double>(a.column) - b.column, static_cast<double>(a.row) - b.row);
}

// The factor both sides of the comparison are scaled by; it depends on how
// many points the run holds.
double ReductionFactor(std::size_t count) {
    if (count < 20)
        return 1.15;
    if (count < 50)
        return 1.03;
    if (count < 80)
        return 1.001;
    return 1.0005;
}

// The point strictly between first and last whose detour (the way from first
// over it to last) is longest and longer than the chord; 0 when there is none.
std::size_t FindSplit(const PixelPath& path, std::size_t first, std::size_t last) {
    const double factor = ReductionFactor(last - first + 1);
    const float chord = static_cast<float>(factor * Distance(path[first], path[last]));
    std::size_t split = 0;
    float longest = 0.0f;
    for (std::size_t i = first + 1; i < last; ++i) {
        const float detour = static_cast<float>(factor * Distance(path[i], path[first])) +
                             static_cast<float>(factor * Distance(path[last], path[i]));
        if (detour > chord && (split == 0 || detour > longest)) {
            split = i;
            longest = detour;
        }
    }
    return split;
}

} // namespace

std::size_t TraceStepLimit(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0)
        return 0;
    const double limit = 8.0 * width * height + 8.0;
    return limit >= static_cast<double>(std::numeric_limits<std::size_t>::max() / 2)
               ? std::numeric_limits<std::size_t>::max() / 2
               : static_cast<std::size_t>(limit);
}

ETraceResult TraceRegion(const CPixelRegion& region, std::int32_t column, std::int32_t row,
                         std::size_t stepLimit, PixelPath& path) {
    path.clear();
    CPixelPosition p{column, row};
    if (!region.Contains(p.column, p.row))
        return ETraceResult::NotInRegion;

    // Up and left as far as the region goes: the pixel with nothing of the
    // region above or to its left lies on the boundary. Every move lowers a
    // coordinate and pixels outside the image are not in the region, so the
    // walk ends.
    for (;;) {
        while (InRegion(region, p, N))
            p.row -= 1;
        while (InRegion(region, p, W))
            p.column -= 1;
        if (!InRegion(region, p, N) && !InRegion(region, p, W))
            break;
    }

    const CPixelPosition start = p;
    int state = E;
    std::size_t steps = 0;
    do {
        // A boundary that never leads back to its start would otherwise be
        // walked for ever.
        if (++steps > stepLimit) {
            path.clear();
            return ETraceResult::StepLimit;
        }
        path.push_back(p);
        state = Step(region, p, state);
    } while (!(p == start));

    ReducePath(path);
    return path.size() > 2 ? ETraceResult::Traced : ETraceResult::TooSmall;
}

void ReducePath(PixelPath& path) {
    if (path.size() < 3)
        return;
    // Split runs are handled from an explicit stack: the path of a large
    // region has millions of points, too many for recursion. A pending run is
    // (first, last) with both ends kept; an entry with first == last stands
    // for "keep this point" and puts the output in path order.
    struct Pending {
        std::size_t first;
        std::size_t last;
    };
    PixelPath output;
    output.push_back(path.front());
    std::vector<Pending> stack{{0, path.size() - 1}};
    while (!stack.empty()) {
        const Pending run = stack.back();
        stack.pop_back();
        if (run.first == run.last) {
            output.push_back(path[run.first]);
            continue;
        }
        if (run.last - run.first < 2)
            continue;
        const std::size_t split = FindSplit(path, run.first, run.last);
        if (split == 0)
            continue;
        stack.push_back({split, run.last});
        stack.push_back({split, split});
        stack.push_back({run.first, split});
    }
    output.push_back(path.back());
    path.swap(output);
}
