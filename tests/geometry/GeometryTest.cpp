#include "geometry/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct SegmentCase {
    const char* name;
    double a[4];
    double b[4];
    bool expected;
    bool peer;
};

// Reference values from shapely; see tests/data/geometry/make_peer_cases.py.
const SegmentCase kSegments[] = {
#include "data/geometry/peer_segments.inc"
};

struct AngleCase {
    const char* name;
    double ax, ay, bx, by;
    bool ok;
    double angle;
};

const AngleCase kAngles[] = {
#include "data/geometry/peer_angles.inc"
};

struct NormalizeCase {
    double angle;
    double normalized;
};

const NormalizeCase kNormalized[] = {
#include "data/geometry/peer_normalized_angles.inc"
};

constexpr double kPi = 3.14159265358979323846;
constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();

} // namespace

TEST(Geometry, TruncToInt32TruncatesTowardZeroAndSaturates) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        std::int32_t expected;
    } cases[] = {
        {1.9, 1},
        {-1.9, -1},
        {0.0, 0},
        {-0.0, 0},
        {2147483646.7, 2147483646},
        {2147483647.0, kIntMax},
        {2147483647.5, kIntMax},
        {3e9, kIntMax},
        {1e300, kIntMax},
        {inf, kIntMax},
        {-2147483647.9, -2147483647},
        {-2147483648.0, kIntMin},
        {-2147483648.9, kIntMin},
        {-3e9, kIntMin},
        {-inf, kIntMin},
        // An undefined coordinate lands far outside every device rectangle.
        {std::numeric_limits<double>::quiet_NaN(), kIntMin},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TruncToInt32(c.value), c.expected) << c.value;
}

TEST(Geometry, NormalizeAngleAgreesWithFmodIntoHalfOpenRange) {
    for (const NormalizeCase& c : kNormalized) {
        const double result = NormalizeAngle(c.angle);
        EXPECT_NEAR(result, c.normalized, 1e-12) << c.angle;
        EXPECT_GE(result, -kPi) << c.angle;
        EXPECT_LT(result, kPi) << c.angle;
    }
    // pi itself is the open end of the range.
    EXPECT_EQ(NormalizeAngle(kPi), -kPi);
    EXPECT_EQ(NormalizeAngle(-kPi), -kPi);
}

TEST(Geometry, NormalizeAngleReturnsNonFiniteAnglesInsteadOfLooping) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(NormalizeAngle(inf), inf);
    EXPECT_EQ(NormalizeAngle(-inf), -inf);
    EXPECT_TRUE(std::isnan(NormalizeAngle(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Geometry, SegmentAngleAgreesWithAtan2) {
    for (const AngleCase& c : kAngles) {
        double angle = 123.0;
        EXPECT_EQ(GetSegmentAngle({c.ax, c.ay}, {c.bx, c.by}, angle), c.ok) << c.name;
        if (c.ok) {
            EXPECT_NEAR(angle, c.angle, 1e-14) << c.name;
            EXPECT_GE(angle, -kPi / 2) << c.name;
            EXPECT_LT(angle, 3 * kPi / 2) << c.name;
        } else {
            EXPECT_EQ(angle, 123.0) << c.name << ": angle must stay untouched";
        }
    }
}

TEST(Geometry, SegmentAngleOnAVerticalIsExactAndPointsFromSecondToFirst) {
    double angle = 0.0;
    ASSERT_TRUE(GetSegmentAngle({2, 7}, {2, 3}, angle));
    EXPECT_EQ(angle, kPi / 2);
    ASSERT_TRUE(GetSegmentAngle({2, 3}, {2, 7}, angle));
    EXPECT_EQ(angle, -kPi / 2);
}

TEST(Geometry, SegmentsIntersectAgreesWithShapely) {
    for (const SegmentCase& c : kSegments) {
        EXPECT_EQ(SegmentsIntersect(c.a, c.b), c.expected) << c.name;
        // The answer cannot depend on the order of the segments or of their ends.
        const double ar[4] = {c.a[2], c.a[3], c.a[0], c.a[1]};
        const double br[4] = {c.b[2], c.b[3], c.b[0], c.b[1]};
        EXPECT_EQ(SegmentsIntersect(c.b, c.a), c.expected) << c.name << " (swapped)";
        EXPECT_EQ(SegmentsIntersect(ar, br), c.expected) << c.name << " (reversed)";
        EXPECT_EQ(SegmentsIntersect(br, c.a), c.expected) << c.name << " (swapped, one reversed)";
    }
}

TEST(Geometry, SegmentsWithNaNDoNotMeet) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double a[4] = {0, 0, 10, 10};
    const double b[4] = {nan, 10, 10, 0};
    EXPECT_FALSE(SegmentsIntersect(a, b));
    EXPECT_FALSE(SegmentsIntersect(b, a));
}
