// Records reach the geometry operations from files, the clipboard and
// plug-ins. A record whose counts contradict each other or whose coordinates
// are not numbers must be refused by every operation, with nothing written.

#include "geometry/ShapeCutting.h"
#include "geometry/ShapeOperations.h"
#include "geometry/ShapeVertexEditing.h"

#include "ShapeTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

// A three-part polyline (starts 0, 3, 5) spoiled one way.
Bytes Damaged(const char* how) {
    Bytes b = MakeMulti(SHT_Polyline, {{{0, 0}, {10, 0}, {10, 10}}, {{20, 0}, {20, 10}}, {{30, 0}, {30, 5}}});
    unsigned char* starts = b.data() + 52;
    unsigned char* points = starts + 4 * 3;
    const std::string kind = how;
    if (kind == "no parts")
        corvale::WriteLE32(b.data() + 44, 0);
    else if (kind == "part start past the points")
        corvale::WriteLE32(starts + 4, 99);
    else if (kind == "part starts out of order")
        corvale::WriteLE32(starts + 8, 1);
    else if (kind == "first part not at 0")
        corvale::WriteLE32(starts, 1);
    else if (kind == "more parts than points")
        corvale::WriteLE32(b.data() + 48, 2);
    else if (kind == "NaN coordinate")
        corvale::WriteLEDouble(points + 16 + 8, std::numeric_limits<double>::quiet_NaN());
    else if (kind == "infinite coordinate")
        corvale::WriteLEDouble(points + 5 * 16, -std::numeric_limits<double>::infinity());
    return b;
}

} // namespace

TEST(DamagedShapeRecords, EveryOperationRefusesAndWritesNothing) {
    const double cut[4] = {5, -5, 5, 5};
    const Bytes good = MakeMulti(SHT_Polyline, {{{0, 0}, {1, 1}}});
    // Each operation answers whether it refused.
    const std::vector<std::pair<const char*, std::function<bool(CShapeRecord*)>>> operations = {
        {"CombinePolylineShapes a", [&](CShapeRecord* r) { return OwnedRecord(CombinePolylineShapes(r, Rec(good))) == nullptr; }},
        {"CombinePolylineShapes b", [&](CShapeRecord* r) { return OwnedRecord(CombinePolylineShapes(Rec(good), r)) == nullptr; }},
        {"CombinePolygonShapes", [&](CShapeRecord* r) { return OwnedRecord(CombinePolygonShapes(r, Rec(good))) == nullptr; }},
        {"AppendPointsToPart", [](CShapeRecord* r) { return OwnedRecord(AppendPointsToPart(r, {{1, 1}}, 0)) == nullptr; }},
        {"CloneShapeRecord", [](CShapeRecord* r) { return OwnedRecord(CloneShapeRecord(r)) == nullptr; }},
        {"ConvertShapeToType", [](CShapeRecord* r) { return OwnedRecord(ConvertShapeToType(r, SHT_PolylineZ)) == nullptr; }},
        {"RecalcShapeBounds", [](CShapeRecord* r) { return !RecalcShapeBounds(r); }},
        {"RotateShape", [](CShapeRecord* r) { return !RotateShape(r, 0, 0, 1); }},
        {"TranslateShape", [](CShapeRecord* r) { return !TranslateShape(r, 1, 1); }},
        {"InsertCrossingVertices", [&](CShapeRecord* r) { return OwnedRecord(InsertCrossingVertices(r, cut)) == nullptr; }},
        {"SplitShapeAlongSegment", [&](CShapeRecord* r) { OwnedRecords out; return !SplitShapeAlongSegment(r, cut, out.records) && out.records.empty(); }},
        {"SplitPolylineAtVertex", [](CShapeRecord* r) { OwnedRecords out; return !SplitPolylineAtVertex(r, {10, 0}, out.records); }},
        {"GetPartPointCount", [](CShapeRecord* r) { return GetPartPointCount(r, 0) == 0; }},
        {"GetShapePartPoints", [](CShapeRecord* r) { CShapePointList p; return !GetShapePartPoints(r, 0, p); }},
        {"DeleteShapeVertex", [](CShapeRecord* r) { return !DeleteShapeVertex(r, 1); }},
        {"DeleteShapePart", [](CShapeRecord* r) { return !DeleteShapePart(r, 0); }},
        {"RemoveDegenerateParts", [](CShapeRecord* r) { return !RemoveDegenerateParts(r); }},
        {"ReverseShapePart", [](CShapeRecord* r) { return !ReverseShapePart(r, 0); }},
        {"ReverseShapeParts", [](CShapeRecord* r) { return !ReverseShapeParts(r); }},
        {"RemoveDuplicateVertices", [](CShapeRecord* r) { int n = 5; return OwnedRecord(RemoveDuplicateVertices(r, n)) == nullptr && n == 0; }},
    };
    for (const char* how : {"no parts", "part start past the points", "part starts out of order",
                            "first part not at 0", "more parts than points", "NaN coordinate",
                            "infinite coordinate"}) {
        for (const auto& [name, refused] : operations) {
            SCOPED_TRACE(std::string(how) + ", " + name);
            Bytes b = Damaged(how);
            const Bytes before = b;
            EXPECT_TRUE(refused(Rec(b)));
            EXPECT_EQ(b, before);
        }
    }
    Bytes point = MakePoint(std::numeric_limits<double>::quiet_NaN(), 0);
    EXPECT_FALSE(TranslateShape(Rec(point), 1, 1));
    EXPECT_EQ(CloneShapeRecord(Rec(point)), nullptr);
}
