// Expected values of rotation and translation: tests/data/geometry/
// peer_transforms.inc, made by make_shape_edit_cases.py from shapely (GEOS).

#include "geometry/ShapeOperations.h"

#include "ShapeTestSupport.h"
#include "crs/RefSysConverter.h"
#include "crs/RefSysTable.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

const Parts kSquare = {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}};
const Parts kSquareWithHole = {{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}}};

CShapePointList PointsOf(const std::vector<Pt>& part) {
    CShapePointList points;
    for (const Pt& p : part)
        points.push_back({p.x, p.y});
    return points;
}

struct TransformCase {
    const char* name;
    std::uint32_t type;
    Parts parts;
    bool rotate;
    double cx, cy, angle, dx, dy;
    Parts expected;
    double tolerance;
};

const TransformCase kTransforms[] = {
#include "data/geometry/peer_transforms.inc"
};

} // namespace

TEST(ShapeBuilding, PointListsBecomeRecordsOnlyWithEnoughPoints) {
    const struct {
        const char* name;
        std::function<CShapeRecord*()> build;
        std::uint32_t type; // 0: no record
        Parts expected;
    } cases[] = {
        {"point", [] { return CreatePointShape(1.5, -2); }, SHT_Point, {{{1.5, -2}}}},
        {"point of NaN", [] { return CreatePointShape(kNaN, 0); }, 0, {}},
        {"line of one point", [] { return CreatePolylineShape({{1, 1}}); }, 0, {}},
        {"line of two points", [] { return CreatePolylineShape({{1, 1}, {2, 3}}); }, SHT_Polyline, {{{1, 1}, {2, 3}}}},
        {"line with a NaN", [] { return CreatePolylineShape({{1, 1}, {kNaN, 3}}); }, 0, {}},
        {"polygon of three points", [] { return CreatePolygonShape({{0, 0}, {0, 1}, {0, 0}}); }, 0, {}},
        {"polygon of four points, as given",
         [] { return CreatePolygonShape({{0, 0}, {0, 1}, {1, 1}, {1, 0}}); },
         SHT_Polygon,
         {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}}},
        {"parts with a one-point part", [] { return CreatePolylineFromParts({{{0, 0}, {1, 1}}, {{2, 2}}}); }, 0, {}},
        {"no parts", [] { return CreatePolylineFromParts({}); }, 0, {}},
        {"two parts",
         [] { return CreatePolylineFromParts({{{0, 0}, {1, 1}}, {{2, 2}, {3, 2}, {3, 3}}}); },
         SHT_Polyline,
         {{{0, 0}, {1, 1}}, {{2, 2}, {3, 2}, {3, 3}}}},
        {"rings with a three-point ring",
         [] { return CreatePolygonFromRings({PointsOf(kSquare[0]), {{0, 0}, {1, 1}, {0, 0}}}); },
         0,
         {}},
        {"two rings",
         [] { return CreatePolygonFromRings({PointsOf(kSquareWithHole[0]), PointsOf(kSquareWithHole[1])}); },
         SHT_Polygon,
         kSquareWithHole},
        {"no rings", [] { return CreatePolygonFromRings({}); }, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OwnedRecord record(c.build());
        if (c.type == 0) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_NE(record, nullptr);
        EXPECT_TRUE(IsWellFormed(record.get()));
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), c.type);
        EXPECT_EQ(GetShapeRecordIndex(record.get()), 0);
        EXPECT_TRUE(SameXY(PartsOf(record.get()), c.expected)) << Text(PartsOf(record.get()));
    }
    const OwnedRecord point(CreatePointShape(1.5, -2));
    EXPECT_EQ(CShapeRecord::GetSize(point.get()), 28u);
    EXPECT_EQ(corvale::ReadBE32(CShapeRecord::Bytes(point.get()) + 4), 20u);
}

TEST(CombineShapes, PartsOfBothInOrderInTheFamilyAndDimensionOfTheFirst) {
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{5, 5, 7, 3}, {6, 6, 8, 4}}});
    const Bytes ring = MakeMulti(SHT_Polygon, kSquare);
    const Bytes ringZ = MakeMulti(SHT_PolygonZ, {{{20, 20, 1, 9}, {20, 21, 2, 9}, {21, 21, 3, 9}, {20, 20, 1, 9}}});
    const Bytes point = MakePoint(1, 1);
    const double noZ = kShapeNoZ;
    const struct {
        const char* name;
        bool polygon;
        const Bytes* a;
        const Bytes* b;
        std::uint32_t type;
        Parts expected; // with Z and M
    } cases[] = {
        {"lines", false, &line, &lineZ, SHT_Polyline, {{{0, 0}, {1, 1}}, {{5, 5}, {6, 6}}}},
        {"Z line and plain line: Z stays, the plain points gain it",
         false,
         &lineZ,
         &line,
         SHT_PolylineZ,
         {{{5, 5, 7, 0}, {6, 6, 8, 0}}, {{0, 0, noZ, 0}, {1, 1, noZ, 0}}}},
        {"polygons", true, &ring, &ringZ, SHT_Polygon, {kSquare[0], {{20, 20}, {20, 21}, {21, 21}, {20, 20}}}},
        {"Z polygons keep their Z, M becomes 0",
         true,
         &ringZ,
         &ringZ,
         SHT_PolygonZ,
         {{{20, 20, 1}, {20, 21, 2}, {21, 21, 3}, {20, 20, 1}}, {{20, 20, 1}, {20, 21, 2}, {21, 21, 3}, {20, 20, 1}}}},
        {"a point", false, &point, &line, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OwnedRecord record(c.polygon ? CombinePolygonShapes(Rec(*c.a), Rec(*c.b))
                                           : CombinePolylineShapes(Rec(*c.a), Rec(*c.b)));
        if (c.type == 0) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_TRUE(IsWellFormed(record.get()));
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), c.type);
        const Parts got = PartsOf(record.get());
        ASSERT_TRUE(SameXY(got, c.expected)) << Text(got);
        for (std::size_t j = 0; j < got.size(); ++j)
            for (std::size_t i = 0; i < got[j].size(); ++i) {
                EXPECT_EQ(got[j][i].z, c.expected[j][i].z);
                EXPECT_EQ(got[j][i].m, c.expected[j][i].m);
            }
    }
}

TEST(AppendPointsToPart, ExtendsOnePartAndKeepsTypeAndClosedRings) {
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 0}}, {{5, 5}, {6, 5}}}, 7);
    const Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 4, 2}, {1, 0, 5, 2}}});
    const Bytes ring = MakeMulti(SHT_Polygon, kSquareWithHole);
    const Bytes openRing = MakeMulti(SHT_Polygon, {{{0, 0}, {0, 4}, {4, 4}}});
    const CShapePointList added = {{8, 8}, {9, 9}};
    const struct {
        const char* name;
        const Bytes* record;
        std::uint32_t k;
        Parts expected;
    } cases[] = {
        {"last part", &line, 1, {{{0, 0}, {1, 0}}, {{5, 5}, {6, 5}, {8, 8}, {9, 9}}}},
        {"first part", &line, 0, {{{0, 0}, {1, 0}, {8, 8}, {9, 9}}, {{5, 5}, {6, 5}}}},
        {"no such part", &line, 2, {{{0, 0}, {1, 0}}, {{5, 5}, {6, 5}}}},
        {"Z line", &lineZ, 0, {{{0, 0, 4}, {1, 0, 5}, {8, 8, kShapeNoZ}, {9, 9, kShapeNoZ}}}},
        {"closed ring: before its closing vertex",
         &ring,
         1,
         {kSquareWithHole[0], {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {8, 8}, {9, 9}, {3, 3}}}},
        {"unclosed ring: after its last vertex", &openRing, 0, {{{0, 0}, {0, 4}, {4, 4}, {8, 8}, {9, 9}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OwnedRecord record(AppendPointsToPart(Rec(*c.record), added, c.k));
        ASSERT_TRUE(IsWellFormed(record.get()));
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), CShapeRecord::GetShapeType(Rec(*c.record)));
        EXPECT_EQ(GetShapeRecordIndex(record.get()), 0);
        const Parts got = PartsOf(record.get());
        ASSERT_TRUE(SameXY(got, c.expected)) << Text(got);
        for (std::size_t j = 0; j < got.size(); ++j)
            for (std::size_t i = 0; i < got[j].size(); ++i) {
                EXPECT_EQ(got[j][i].z, c.expected[j][i].z);
                EXPECT_EQ(got[j][i].m, 0.0);
            }
    }
    const Bytes point = MakePoint(1, 1);
    EXPECT_EQ(AppendPointsToPart(Rec(point), added, 0), nullptr);
}

TEST(CloneShapeRecord, ExactCopiesOfTheKnownTypes) {
    const Bytes records[] = {MakePoint(1, 2, 4), MakePointZ(1, 2, 3, 4, 5), MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}}, 9),
                             MakeMulti(SHT_Polygon, kSquareWithHole),
                             MakeMulti(SHT_PolylineZ, {{{0, 0, 1, 2}, {1, 1, 3, 4}}}),
                             MakeMulti(SHT_PolygonZ, {{{0, 0, 1, 2}, {0, 1, 1, 2}, {1, 1, 1, 2}, {0, 0, 1, 2}}})};
    for (const Bytes& b : records) {
        const OwnedRecord copy(CloneShapeRecord(Rec(b)));
        ASSERT_NE(copy, nullptr);
        ASSERT_EQ(CShapeRecord::GetSize(copy.get()), b.size());
        EXPECT_EQ(std::memcmp(CShapeRecord::Bytes(copy.get()), b.data(), b.size()), 0);
    }
    Bytes multipoint = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    corvale::WriteLE32(multipoint.data() + 8, SHT_MultiPoint);
    Bytes null(12, 0);
    EXPECT_EQ(CloneShapeRecord(nullptr), nullptr);
    EXPECT_EQ(CloneShapeRecord(Rec(multipoint)), nullptr);
    EXPECT_EQ(CloneShapeRecord(Rec(null)), nullptr);
}

TEST(ConvertShapeToType, WithinTheFamilyZIsGainedOrDropped) {
    const Bytes point = MakePoint(1, 2, 5);
    const Bytes pointZ = MakePointZ(1, 2, 3, 4, 5);
    const Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}, {{2, 2}, {3, 3}}}, 5);
    const Bytes ringZ = MakeMulti(SHT_PolygonZ, {{{0, 0, 1, 2}, {0, 1, 1, 2}, {1, 1, 1, 2}, {0, 0, 1, 2}}}, 5);
    const struct {
        const char* name;
        const Bytes* record;
        std::uint32_t to;
        std::size_t size; // 0: no record
        double z;
        double m;
    } cases[] = {
        {"point to polygon", &point, SHT_Polygon, 0, 0, 0},
        {"line to point", &line, SHT_Point, 0, 0, 0},
        {"line to polygon", &line, SHT_Polygon, 0, 0, 0},
        {"point to PointZ", &point, SHT_PointZ, 44, kShapeNoZ, 0},
        {"PointZ to point", &pointZ, SHT_Point, 28, 0, 0},
        {"line to PolylineZ", &line, SHT_PolylineZ, CShapeRecordBuilderZ::RecordSize(2, 4), kShapeNoZ, 0},
        {"PolygonZ to polygon", &ringZ, SHT_Polygon, CShapeRecordBuilder::RecordSize(1, 4), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OwnedRecord record(ConvertShapeToType(Rec(*c.record), c.to));
        if (c.size == 0) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_TRUE(IsWellFormed(record.get()));
        EXPECT_EQ(CShapeRecord::GetShapeType(record.get()), c.to);
        EXPECT_EQ(CShapeRecord::GetSize(record.get()), c.size);
        EXPECT_EQ(GetShapeRecordIndex(record.get()), 5) << "the source's record number plus one";
        const Parts got = PartsOf(record.get());
        EXPECT_TRUE(SameXY(got, PartsOf(Rec(*c.record))));
        for (const auto& part : got)
            for (const Pt& p : part) {
                EXPECT_EQ(p.z, c.z);
                EXPECT_EQ(p.m, c.m);
            }
        if (c.to == SHT_PolylineZ) {
            EXPECT_EQ(CShapeRecord::GetZMin(record.get()), kShapeNoZ);
            EXPECT_EQ(CShapeRecord::GetZMax(record.get()), kShapeNoZ);
        }
    }
    // The same type is a copy, record number and all.
    const OwnedRecord same(ConvertShapeToType(Rec(line), SHT_Polyline));
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(std::memcmp(CShapeRecord::Bytes(same.get()), line.data(), line.size()), 0);
}

TEST(RecalcShapeBounds, BoxFromEveryPoint) {
    Bytes line = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 5}}, {{-2, 3}, {4, -1}}});
    for (int k = 0; k < 4; ++k)
        corvale::WriteLEDouble(line.data() + 12 + 8 * k, 99.0);
    EXPECT_TRUE(RecalcShapeBounds(Rec(line)));
    EXPECT_TRUE(IsWellFormed(Rec(line)));
    EXPECT_EQ(GetShapeBox(Rec(line)).x1, -2.0);
    EXPECT_EQ(GetShapeBox(Rec(line)).y2, 5.0);
    Bytes point = MakePoint(1, 1);
    EXPECT_FALSE(RecalcShapeBounds(Rec(point)));
}

TEST(RotateAndTranslate, MatchThePeer) {
    for (const TransformCase& c : kTransforms) {
        SCOPED_TRACE(c.name);
        Bytes b = MakeMulti(c.type, c.parts);
        ASSERT_TRUE(c.rotate ? RotateShape(Rec(b), c.cx, c.cy, c.angle) : TranslateShape(Rec(b), c.dx, c.dy));
        EXPECT_TRUE(IsWellFormed(Rec(b)));
        const Parts got = PartsOf(Rec(b));
        EXPECT_TRUE(SameXY(got, c.expected, c.tolerance)) << Text(got);
        // Each ring that was closed is closed exactly.
        for (std::size_t j = 0; j < got.size(); ++j)
            if (c.parts[j].front().x == c.parts[j].back().x && c.parts[j].front().y == c.parts[j].back().y) {
                EXPECT_EQ(got[j].front().x, got[j].back().x);
                EXPECT_EQ(got[j].front().y, got[j].back().y);
            }
    }
}

TEST(RotateAndTranslate, ExactWhereNothingShouldMove) {
    const Parts decimals = {{{0.1, 0.2}, {0.3, 0.7}, {1e6 + 0.1, -3.3}}};
    Bytes line = MakeMulti(SHT_Polyline, decimals);
    const Bytes before = line;
    ASSERT_TRUE(RotateShape(Rec(line), 0.3, 0.7, 0.0));
    EXPECT_EQ(line, before) << "a zero turn about another point";
    Bytes point = MakePoint(0.1, 0.3);
    ASSERT_TRUE(RotateShape(Rec(point), 0.1, 0.3, kPi / 3));
    EXPECT_EQ(point, MakePoint(0.1, 0.3)) << "a point turned about itself";
    ASSERT_TRUE(TranslateShape(Rec(point), 1, 2));
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(point), 0), (CShapePoint{1.1, 2.3}));

    // Z and M stay with their vertices.
    Bytes lineZ = MakeMulti(SHT_PolylineZ, {{{0, 0, 5, 6}, {1, 0, 7, 8}}});
    ASSERT_TRUE(TranslateShape(Rec(lineZ), 1, 1));
    const Parts got = PartsOf(Rec(lineZ));
    EXPECT_EQ(got[0][1].z, 7.0);
    EXPECT_EQ(got[0][1].m, 8.0);
    EXPECT_EQ(CShapeRecord::GetZMax(Rec(lineZ)), 7.0);

    // A move that overflows writes nothing.
    Bytes far = MakeMulti(SHT_Polyline, {{{0, 0}, {1.7e308, 0}}});
    const Bytes farBefore = far;
    EXPECT_FALSE(TranslateShape(Rec(far), 1.7e308, 0));
    EXPECT_EQ(far, farBefore);
    EXPECT_FALSE(RotateShape(Rec(far), 0, 0, kNaN));
    EXPECT_EQ(far, farBefore);
}

TEST(ReprojectShape, EveryPointOrNone) {
    const int wgs84 = FindRefSysByEpsg(4326);
    const int utm33 = FindRefSysByEpsg(32633);
    ASSERT_GE(wgs84, 0);
    ASSERT_GE(utm33, 0);
    const CRefSysConverter converter(wgs84, utm33);
    const Parts lonLat = {{{15, 52}, {15.5, 52.25}, {14, 51}}};
    Bytes line = MakeMulti(SHT_Polyline, lonLat);
    std::vector<std::uint32_t> failed = {99};
    ASSERT_TRUE(ReprojectShape(Rec(line), converter, &failed));
    EXPECT_TRUE(failed.empty());
    EXPECT_TRUE(IsWellFormed(Rec(line)));
    for (std::size_t i = 0; i < lonLat[0].size(); ++i) {
        double x = 0, y = 0;
        ASSERT_TRUE(converter.Convert(lonLat[0][i].x, lonLat[0][i].y, x, y));
        EXPECT_EQ(CShapeRecord::GetPoint(Rec(line), static_cast<std::uint32_t>(i)), (CShapePoint{x, y}));
    }

    // Latitudes beyond the pole cannot be converted: those points are named
    // and the record is left as it was.
    Bytes bad = MakeMulti(SHT_Polyline, {{{15, 52}, {15, 95}, {15, 53}, {15, -100}}});
    const Bytes badBefore = bad;
    EXPECT_FALSE(ReprojectShape(Rec(bad), converter, &failed));
    EXPECT_EQ(failed, (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(bad, badBefore);
    EXPECT_FALSE(ReprojectShape(Rec(bad), converter));
    EXPECT_EQ(bad, badBefore);

    Bytes point = MakePoint(15, 52);
    ASSERT_TRUE(ReprojectPointShape(Rec(point), converter));
    EXPECT_EQ(CShapeRecord::GetPoint(Rec(point), 0), CShapeRecord::GetPoint(Rec(line), 0));
    Bytes badPoint = MakePoint(15, 95);
    EXPECT_FALSE(ReprojectPointShape(Rec(badPoint), converter));
    EXPECT_EQ(badPoint, MakePoint(15, 95));
    EXPECT_FALSE(ReprojectPointShape(Rec(line), converter)) << "not a point record";
}
