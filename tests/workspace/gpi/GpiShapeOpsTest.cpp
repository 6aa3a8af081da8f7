// Reading a theme's shapes through the GPI operations: the visible list, one
// shape's type, bounds, record bytes, parts and points, the selection as a
// count and as a recordset, and the recordset cursor.

#include "GpiOpsFixture.h"

#include "core/Theme.h"
#include "shapes/ShapeRecord.h"
#include "geometry/SpatialHash.h"
#include "shapes/ShapeRecordBuilder.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// A polyline record of the given parts, each a list of points; the bytes are
// the record.
std::vector<unsigned char> PolylineRecord(const std::vector<std::vector<CShapePoint>>& parts) {
    std::uint32_t points = 0;
    for (const auto& part : parts)
        points += static_cast<std::uint32_t>(part.size());
    std::vector<unsigned char> bytes(
        CShapeRecordBuilder::RecordSize(static_cast<std::uint32_t>(parts.size()), points));
    CShapeRecordBuilder builder;
    builder.m_PartCount = static_cast<std::uint32_t>(parts.size());
    builder.m_PointCount = points;
    builder.m_Record = bytes.data();
    EXPECT_TRUE(builder.BeginPolyline());
    for (std::size_t p = 0; p < parts.size(); ++p) {
        if (p > 0) {
            EXPECT_TRUE(builder.NextPart());
        }
        for (const CShapePoint& point : parts[p])
            EXPECT_TRUE(builder.AddPoint(point.x, point.y));
    }
    return bytes;
}

void PutU32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}
void PutF64(std::vector<unsigned char>& bytes, std::size_t offset, double value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

} // namespace

class GpiShapeOps : public GpiOpsTest {
protected:
    void SetUp() override {
        GpiOpsTest::SetUp();
        m_Lines = AddNative("Lines", SHT_Polyline);
        m_LinesHandle = GpiThemeHandle(m_Lines);
        for (int i = 0; i < 3; ++i)
            m_Points->AddPointAt(false, false, 10.0 + i, 20.0 + i);
        // Two parts of 3 and 4 points: part 1 starts at the record's 4th point.
        auto bytes = PolylineRecord({{{0, 0}, {1, 1}, {2, 0}}, {{5, 5}, {6, 7}, {7, 5}, {8, 9}}});
        m_Line = m_Lines->AddArc(CShapeRecord::FromBytes(bytes.data()), false, false, false);
        ASSERT_NE(m_Line, nullptr);
        m_LineHandle = GpiShapeHandle(m_Line);
        m_PointHandle = GpiShapeHandle(m_Points->GetShape(0));
    }

    // A recordset of the given handles, registered as the making operations do.
    static std::uint32_t MakeRecordset(std::vector<std::uint32_t> handles) {
        auto recordset = std::make_unique<GpiRecordset>();
        recordset->m_Handles = std::move(handles);
        return GpiAddRecordset(std::move(recordset));
    }

    // The handles a recordset holds, walked with the cursor operations.
    static std::vector<std::uint32_t> Walk(std::uint32_t recordset) {
        std::vector<std::uint32_t> handles;
        std::uint32_t eof = 0;
        GpiRecordsetIsEOFArgs e = {recordset, &eof};
        while (GpiHostDispatch(GPIOP_RecordsetIsEOF, &e) == GPIERR_NoError && eof == 0) {
            std::uint32_t value = 0;
            GpiRecordsetGetValueArgs v = {recordset, &value};
            EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetGetValue, &v), GPIERR_NoError);
            handles.push_back(value);
            EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetMoveNext, AsBlock(recordset)), GPIERR_NoError);
        }
        return handles;
    }

    static void* AsBlock(std::uint32_t handle) { return reinterpret_cast<void*>(std::uintptr_t{handle}); }

    CTheme* m_Lines = nullptr;
    std::uint32_t m_LinesHandle = 0;
    CShapeRecord* m_Line = nullptr;
    std::uint32_t m_LineHandle = 0;
    std::uint32_t m_PointHandle = 0;
};

// ---------------------------------------------------------------------------
// The recordset cursor
// ---------------------------------------------------------------------------

// One step of a cursor script: an operation and what it answers, then the
// cursor state that follows (BOF, EOF, and the value at the cursor or 0 when
// GetValue answers Index out of bounds).
struct CursorStep {
    int op;
    int code;
    std::uint32_t bof;
    std::uint32_t eof;
    std::uint32_t value;
};

TEST_F(GpiShapeOps, RecordsetCursorFollowsItsScript) {
    constexpr int kBounds = GPIERR_IndexOutOfBounds;
    constexpr int kNext = GPIOP_RecordsetMoveNext;
    constexpr int kPrev = GPIOP_RecordsetMovePrevious;
    constexpr int kFirst = GPIOP_RecordsetMoveFirst;
    constexpr int kLast = GPIOP_RecordsetMoveLast;
    struct Script {
        const char* name;
        std::vector<std::uint32_t> handles;
        std::vector<CursorStep> steps;
    };
    const std::vector<Script> scripts = {
        {"three forward past the end",
         {11, 12, 13},
         {{kNext, 0, 0, 0, 12},
          {kNext, 0, 0, 0, 13},
          {kNext, 0, 0, 1, 0},
          // The cursor stays at the end.
          {kNext, kBounds, 0, 1, 0},
          {kPrev, 0, 0, 0, 13},
          {kFirst, 0, 0, 0, 11}}},
        {"back before the start",
         {11, 12, 13},
         {{kPrev, 0, 1, 0, 0},
          {kPrev, kBounds, 1, 0, 0},
          {kNext, 0, 0, 0, 11},
          {kLast, 0, 0, 0, 13},
          {kPrev, 0, 0, 0, 12}}},
        {"empty",
         {},
         {{kNext, kBounds, 1, 1, 0},
          {kPrev, kBounds, 1, 1, 0},
          {kFirst, kBounds, 1, 1, 0},
          {kLast, kBounds, 1, 1, 0}}},
        {"one handle",
         {21},
         {{kLast, 0, 0, 0, 21}, {kNext, 0, 0, 1, 0}, {kLast, 0, 0, 0, 21}, {kPrev, 0, 1, 0, 0}}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        const std::uint32_t recordset = MakeRecordset(script.handles);
        ASSERT_NE(recordset, 0u);
        std::uint32_t count = kUntouched;
        GpiRecordsetGetCountArgs c = {recordset, &count};
        EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetGetCount, &c), GPIERR_NoError);
        EXPECT_EQ(count, script.handles.size());
        for (std::size_t i = 0; i < script.steps.size(); ++i) {
            const CursorStep& step = script.steps[i];
            SCOPED_TRACE("step " + std::to_string(i));
            EXPECT_EQ(GpiHostDispatch(step.op, AsBlock(recordset)), step.code);
            std::uint32_t bof = kUntouched, eof = kUntouched, value = kUntouched;
            GpiRecordsetIsBOFArgs b = {recordset, &bof};
            GpiRecordsetIsEOFArgs e = {recordset, &eof};
            GpiRecordsetGetValueArgs v = {recordset, &value};
            EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetIsBOF, &b), GPIERR_NoError);
            EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetIsEOF, &e), GPIERR_NoError);
            EXPECT_EQ(bof, step.bof);
            EXPECT_EQ(eof, step.eof);
            if (step.value == 0) {
                EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetGetValue, &v), kBounds);
                EXPECT_EQ(value, kUntouched);
            } else {
                EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetGetValue, &v), GPIERR_NoError);
                EXPECT_EQ(value, step.value);
            }
        }
        EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetClose, AsBlock(recordset)), GPIERR_NoError);
    }
}

TEST_F(GpiShapeOps, AFreshRecordsetStandsOnItsFirstHandle) {
    const std::uint32_t recordset = MakeRecordset({7, 8, 9});
    EXPECT_EQ(Walk(recordset), (std::vector<std::uint32_t>{7, 8, 9}));
}

TEST_F(GpiShapeOps, AClosedRecordsetIsGoneForEveryOperation) {
    const std::uint32_t recordset = MakeRecordset({7});
    const std::size_t open = GpiState().m_Recordsets.Size();
    EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetClose, AsBlock(recordset)), GPIERR_NoError);
    EXPECT_EQ(GpiState().m_Recordsets.Size(), open - 1);
    EXPECT_EQ(GpiGetHandleKind(recordset), GPIHANDLE_Unknown);
    EXPECT_EQ(GpiHostDispatch(GPIOP_RecordsetClose, AsBlock(recordset)), GPIERR_InvalidHandle);
    for (int op : {GPIOP_RecordsetMoveNext, GPIOP_RecordsetMovePrevious, GPIOP_RecordsetMoveFirst,
                   GPIOP_RecordsetMoveLast})
        EXPECT_EQ(GpiHostDispatch(op, AsBlock(recordset)), GPIERR_InvalidHandle) << op;
    std::uint32_t out = kUntouched;
    GpiHandleOutArgs a = {recordset, &out};
    for (int op : {GPIOP_RecordsetGetValue, GPIOP_RecordsetIsEOF, GPIOP_RecordsetIsBOF, GPIOP_RecordsetGetCount})
        EXPECT_EQ(GpiHostDispatch(op, &a), GPIERR_InvalidHandle) << op;
    EXPECT_EQ(out, kUntouched);
}

// ---------------------------------------------------------------------------
// The visible list and the selection
// ---------------------------------------------------------------------------

TEST_F(GpiShapeOps, ShapesAreReachedByVisiblePosition) {
    std::uint32_t count = kUntouched;
    GpiThemeGetShapeCountArgs c = {m_PointsHandle, &count};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetShapeCount, &c), GPIERR_NoError);
    EXPECT_EQ(count, 3u);

    std::uint32_t shape = kUntouched;
    GpiThemeGetShapeArgs g = {m_PointsHandle, 2, &shape};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetShape, &g), GPIERR_NoError);
    EXPECT_EQ(GpiShapeFromHandle(shape), m_Points->GetShape(2));
    // The same record keeps its handle.
    std::uint32_t again = kUntouched;
    g.out = &again;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetShape, &g), GPIERR_NoError);
    EXPECT_EQ(again, shape);

    std::uint32_t past = kUntouched;
    GpiThemeGetShapeArgs p = {m_PointsHandle, 3, &past};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetShape, &p), GPIERR_IndexOutOfBounds);
    EXPECT_EQ(past, kUntouched);
}

TEST_F(GpiShapeOps, SelectionRecordsetFollowsSelectionOrder) {
    // Selected as 2, 0: the recordset lists them in that order.
    m_Points->AddToSelection(2, 2, 3, 0xFF);
    m_Points->AddToSelection(0, 0, 3, 0xFF);
    std::uint32_t count = kUntouched;
    GpiThemeGetSelectionCountArgs c = {m_PointsHandle, &count};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetSelectionCount, &c), GPIERR_NoError);
    EXPECT_EQ(count, 2u);

    std::uint32_t recordset = kUntouched;
    GpiThemeGetSelectionArgs s = {m_PointsHandle, &recordset};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetSelection, &s), GPIERR_NoError);
    EXPECT_EQ((*GpiState().m_Recordsets.Find(recordset))->m_ElementKind, std::uint32_t{GPIHANDLE_Shape});
    EXPECT_EQ(Walk(recordset), (std::vector<std::uint32_t>{GpiShapeHandle(m_Points->GetShape(2)),
                                                           GpiShapeHandle(m_Points->GetShape(0))}));

    // No selection is still a recordset, an empty one.
    std::uint32_t empty = kUntouched;
    GpiThemeGetSelectionArgs e = {m_LinesHandle, &empty};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeGetSelection, &e), GPIERR_NoError);
    EXPECT_NE(empty, recordset);
    EXPECT_TRUE(Walk(empty).empty());
}

// ---------------------------------------------------------------------------
// One shape
// ---------------------------------------------------------------------------

TEST_F(GpiShapeOps, TypeBoundsAndPartCountOfEachKind) {
    struct Case {
        const char* name;
        std::uint32_t shape;
        std::uint32_t type;
        double bounds[4];
        std::uint32_t parts;
    };
    const Case cases[] = {
        {"point", m_PointHandle, SHT_Point, {10, 20, 10, 20}, 1},
        {"polyline", m_LineHandle, SHT_Polyline, {0, 0, 8, 9}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t type = kUntouched;
        GpiShapeGetTypeArgs t = {c.shape, &type};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetType, &t), GPIERR_NoError);
        EXPECT_EQ(type, c.type);
        double b[4] = {-1, -1, -1, -1};
        GpiShapeGetBoundsArgs a = {c.shape, &b[0], &b[1], &b[2], &b[3]};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetBounds, &a), GPIERR_NoError);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(b[i], c.bounds[i]) << i;
        // Every bound is optional.
        double ymax = -1;
        GpiShapeGetBoundsArgs one = {c.shape, nullptr, nullptr, nullptr, &ymax};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetBounds, &one), GPIERR_NoError);
        EXPECT_EQ(ymax, c.bounds[3]);
        std::uint32_t parts = kUntouched;
        GpiShapeGetPartCountArgs p = {c.shape, &parts};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartCount, &p), GPIERR_NoError);
        EXPECT_EQ(parts, c.parts);
    }
}

TEST_F(GpiShapeOps, RecordBytesFollowTheSizeProtocol) {
    std::uint32_t size = kUntouched;
    GpiShapeGetRecordArgs query = {m_PointHandle, nullptr, &size};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &query), GPIERR_NoError);
    EXPECT_EQ(size, 28u);

    unsigned char buffer[100];
    std::memset(buffer, 0x5A, sizeof buffer);
    std::uint32_t small = 27;
    GpiShapeGetRecordArgs tooSmall = {m_PointHandle, buffer, &small};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &tooSmall), GPIERR_BufferOverflow);
    EXPECT_EQ(small, 27u);
    EXPECT_EQ(buffer[0], 0x5A);

    std::uint32_t large = 100;
    GpiShapeGetRecordArgs copy = {m_PointHandle, buffer, &large};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &copy), GPIERR_NoError);
    EXPECT_EQ(large, 100u);
    EXPECT_EQ(std::memcmp(buffer, CShapeRecord::Bytes(m_Points->GetShape(0)), 28), 0);
    EXPECT_EQ(buffer[28], 0x5A);

    // A polyline's size comes from its counts: 52 + 4 * 2 parts + 16 * 7 points.
    GpiShapeGetRecordArgs line = {m_LineHandle, nullptr, &size};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &line), GPIERR_NoError);
    EXPECT_EQ(size, 52u + 8u + 112u);
}

TEST_F(GpiShapeOps, PointZWithoutMeasuresReportsItsRealSize) {
    // A PointZ as other tools write it, without its M value: 36 bytes, so a
    // plug-in that asks for 44 would be handed bytes past the record.
    std::vector<unsigned char> bytes(36, 0);
    PutU32(bytes, 4, 0x0E000000u); // content length 14 words, big-endian
    PutU32(bytes, 8, SHT_PointZ);
    PutF64(bytes, 12, 1.5);
    PutF64(bytes, 20, 2.5);
    PutF64(bytes, 28, 3.5);
    auto* theme = AddNative("PointsZ", SHT_PointZ);
    CShapeRecord* record = theme->AddPoint(CShapeRecord::FromBytes(bytes.data()), false, false, false);
    ASSERT_NE(record, nullptr);
    const std::uint32_t shape = GpiShapeHandle(record);
    std::uint32_t size = 0;
    GpiShapeGetRecordArgs query = {shape, nullptr, &size};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &query), GPIERR_NoError);
    EXPECT_EQ(size, CShapeRecord::GetSize(record));
    double z = -1;
    GpiShapeGetPointArgs p = {shape, 0, 0, nullptr, nullptr, &z};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPoint, &p), GPIERR_NoError);
    EXPECT_EQ(z, 3.5);
}

TEST_F(GpiShapeOps, PointsAreAddressedByPartAndIndexInThePart) {
    struct Case {
        std::uint32_t shape;
        std::uint32_t part;
        std::uint32_t point;
        int code;
        double x, y;
    };
    const Case cases[] = {
        {m_LineHandle, 0, 0, GPIERR_NoError, 0, 0},
        {m_LineHandle, 0, 2, GPIERR_NoError, 2, 0},
        {m_LineHandle, 0, 3, GPIERR_IndexOutOfBounds, 0, 0},
        {m_LineHandle, 1, 0, GPIERR_NoError, 5, 5},
        // The record's 7th point.
        {m_LineHandle, 1, 3, GPIERR_NoError, 8, 9},
        {m_LineHandle, 1, 4, GPIERR_IndexOutOfBounds, 0, 0},
        {m_LineHandle, 2, 0, GPIERR_IndexOutOfBounds, 0, 0},
        {m_PointHandle, 0, 0, GPIERR_NoError, 10, 20},
        {m_PointHandle, 0, 1, GPIERR_IndexOutOfBounds, 0, 0},
        {m_PointHandle, 1, 0, GPIERR_IndexOutOfBounds, 0, 0},
        {0x7FFFFF00u, 0, 0, GPIERR_InvalidHandle, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("part " + std::to_string(c.part) + " point " + std::to_string(c.point));
        double x = -1, y = -1, z = -1;
        GpiShapeGetPointArgs a = {c.shape, c.part, c.point, &x, &y, &z};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPoint, &a), c.code);
        if (c.code == GPIERR_NoError) {
            EXPECT_EQ(x, c.x);
            EXPECT_EQ(y, c.y);
            // Types without Z give 0.0.
            EXPECT_EQ(z, 0.0);
        } else {
            EXPECT_EQ(x, -1);
            EXPECT_EQ(y, -1);
            EXPECT_EQ(z, -1);
        }
    }

    const std::pair<std::uint32_t, std::uint32_t> partSizes[] = {{0, 3}, {1, 4}};
    for (const auto& [part, points] : partSizes) {
        std::uint32_t out = kUntouched;
        GpiShapeGetPartPointCountArgs a = {m_LineHandle, part, &out};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartPointCount, &a), GPIERR_NoError);
        EXPECT_EQ(out, points);
    }
    std::uint32_t out = kUntouched;
    GpiShapeGetPartPointCountArgs beyond = {m_LineHandle, 2, &out};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartPointCount, &beyond), GPIERR_IndexOutOfBounds);
    EXPECT_EQ(out, kUntouched);
}

TEST_F(GpiShapeOps, RecordReadsCheckTheShapeBeforeTheOutPointer) {
    // These name no theme: an unknown shape is reported first, then a null
    // out pointer.
    const std::uint32_t unknown = 0x7FFFFF00u;
    GpiShapeGetRecordArgs r = {unknown, nullptr, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &r), GPIERR_InvalidHandle);
    r.shape = m_PointHandle;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetRecord, &r), GPIERR_IllegalParameter);
    GpiShapeGetPartCountArgs p = {unknown, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartCount, &p), GPIERR_InvalidHandle);
    p.handle = m_PointHandle;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartCount, &p), GPIERR_IllegalParameter);
    GpiShapeGetPartPointCountArgs c = {m_PointHandle, 1, nullptr};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartPointCount, &c), GPIERR_IndexOutOfBounds);
    c.index = 0;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetPartPointCount, &c), GPIERR_IllegalParameter);
    // A theme handle is not a shape handle.
    std::uint32_t type = kUntouched;
    GpiShapeGetTypeArgs t = {m_PointsHandle, &type};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetType, &t), GPIERR_InvalidHandle);
    EXPECT_EQ(type, kUntouched);
}

// ---------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------

class GpiQueryOps : public GpiShapeOps {
protected:
    void SetUp() override {
        GpiShapeOps::SetUp();
        CAttributeFieldInfo info;
        info.m_Name = "POP";
        info.m_Type = FT_Int;
        m_Points->AddAttribute(info, nullptr, nullptr);
        ASSERT_EQ(m_Points->GetAttributeCount(), 1u);
        // Shape indexes 0, 1, 2 hold 5, 50, 500.
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(m_Points->SetAttributeText(i, 0, std::to_string(5 * (i == 0 ? 1 : i == 1 ? 10 : 100)), false));
    }

    // The shape indexes behind a recordset's handles, in order.
    static std::vector<int> IndexesOf(std::uint32_t recordset) {
        std::vector<int> indexes;
        for (std::uint32_t handle : Walk(recordset))
            indexes.push_back(GetShapeRecordIndex(GpiShapeFromHandle(handle)));
        return indexes;
    }

    std::uint32_t Rectangle(int op, std::uint32_t theme, double x1, double y1, double x2, double y2,
                            std::uint32_t intersect, int& code) {
        std::uint32_t recordset = kUntouched;
        GpiThemeQueryRectangleArgs a = {theme, 0, x1, y1, x2, y2, intersect, &recordset};
        code = GpiHostDispatch(op, &a);
        return recordset;
    }
};

TEST_F(GpiQueryOps, AttributeQueryListsMatchingShapesInPositionOrder) {
    struct Case {
        const char* query;
        int code;
        std::vector<int> indexes;
    };
    const Case cases[] = {
        {"POP > 10", GPIERR_NoError, {1, 2}},
        {"POP = 5 OR POP = 500", GPIERR_NoError, {0, 2}},
        {"POP > 1000", GPIERR_NoError, {}},
        // A column the theme does not have, a text that does not parse, and
        // an expression that is no TRUE or FALSE.
        {"NOSUCH = 1", GPIERR_InvalidQuery, {}},
        {"POP > (", GPIERR_InvalidQuery, {}},
        {"POP + 1", GPIERR_InvalidQuery, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const std::size_t open = GpiState().m_Recordsets.Size();
        std::uint32_t recordset = kUntouched;
        GpiThemeQueryArgs a = {m_PointsHandle, c.query, &recordset};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeQuery, &a), c.code);
        if (c.code != GPIERR_NoError) {
            EXPECT_EQ(recordset, kUntouched);
            EXPECT_EQ(GpiState().m_Recordsets.Size(), open);
            continue;
        }
        EXPECT_EQ(IndexesOf(recordset), c.indexes);
    }
    GpiThemeQueryArgs nullQuery = {m_PointsHandle, nullptr, nullptr};
    std::uint32_t out = kUntouched;
    nullQuery.recordset = &out;
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeQuery, &nullQuery), GPIERR_IllegalParameter);
    GpiThemeQueryArgs unknown = {0x7FFFFF00u, "POP > 1", &out};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeQuery, &unknown), GPIERR_InvalidHandle);
    EXPECT_EQ(out, kUntouched);
}

TEST_F(GpiQueryOps, RectangleInsideOrTouchingAndOnlySelected) {
    // Points at (10, 20), (11, 21), (12, 22).
    struct Case {
        const char* name;
        int op;
        double x1, y1, x2, y2;
        std::uint32_t intersect;
        std::vector<int> indexes;
    };
    m_Points->AddToSelection(2, 2, 3, 0xFF);
    const Case cases[] = {
        {"all", GPIOP_ThemeQueryRectangle, 0, 0, 100, 100, 0, {0, 1, 2}},
        {"corners given the other way round", GPIOP_ThemeQueryRectangle, 12.5, 22.5, 10.5, 20.5, 1, {1, 2}},
        {"none", GPIOP_ThemeQueryRectangle, 50, 50, 60, 60, 1, {}},
        {"selected only", GPIOP_ThemeQuerySelectedRectangle, 0, 0, 100, 100, 0, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int code = -1;
        const std::uint32_t recordset = Rectangle(c.op, m_PointsHandle, c.x1, c.y1, c.x2, c.y2, c.intersect, code);
        ASSERT_EQ(code, GPIERR_NoError);
        EXPECT_EQ(IndexesOf(recordset), c.indexes);
    }
}

TEST_F(GpiQueryOps, RectangleThroughTheSpatialIndexReportsEachShapeOnce) {
    // A line across the whole theme is listed in many cells of the index;
    // short lines sit in one cell each.
    auto* theme = AddNative("Indexed", SHT_Polyline);
    const std::uint32_t themeHandle = GpiThemeHandle(theme);
    auto add = [&](std::vector<CShapePoint> points) {
        auto bytes = PolylineRecord({points});
        ASSERT_NE(theme->AddArc(CShapeRecord::FromBytes(bytes.data()), false, false, false), nullptr);
    };
    add({{0, 0}, {100, 100}});
    for (int i = 0; i < 10; ++i)
        add({{10.0 * i, 50}, {10.0 * i + 1, 51}});
    int code = -1;
    const std::vector<int> linear = IndexesOf(Rectangle(GPIOP_ThemeQueryRectangle, themeHandle, 0, 0, 100, 100, 1, code));
    ASSERT_EQ(code, GPIERR_NoError);
    ASSERT_EQ(linear.size(), 11u);

    theme->m_SpatialIndex = std::make_unique<CShapeAreaHashTable>(theme->m_Bounds[0], theme->m_Bounds[1],
                                                                  theme->m_Bounds[2], theme->m_Bounds[3]);
    for (int p = 0; p < theme->GetShapeCount(); ++p)
        theme->m_SpatialIndex->InsertRecord(theme->GetShape(p));
    struct Case {
        double x1, y1, x2, y2;
        std::uint32_t intersect;
    };
    const Case cases[] = {{0, 0, 100, 100, 1}, {0, 0, 100, 100, 0}, {15, 45, 45, 55, 1}, {15, 45, 45, 55, 0}};
    for (const Case& c : cases) {
        // The walk over the index must agree with the linear walk (the
        // index was just removed for it) as a set, with no repeats.
        auto index = std::move(theme->m_SpatialIndex);
        std::vector<int> expected = IndexesOf(Rectangle(GPIOP_ThemeQueryRectangle, themeHandle, c.x1, c.y1, c.x2,
                                                        c.y2, c.intersect, code));
        theme->m_SpatialIndex = std::move(index);
        std::vector<int> got =
            IndexesOf(Rectangle(GPIOP_ThemeQueryRectangle, themeHandle, c.x1, c.y1, c.x2, c.y2, c.intersect, code));
        ASSERT_EQ(code, GPIERR_NoError);
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << c.x1 << "," << c.y1 << " " << c.intersect;
        EXPECT_TRUE(std::adjacent_find(got.begin(), got.end()) == got.end());
    }
}

TEST_F(GpiQueryOps, IntersectingShapesLeaveOutTheShapeItself) {
    auto bytes = PolylineRecord({{{6, 0}, {6, 10}}});
    CShapeRecord* crossing = m_Lines->AddArc(CShapeRecord::FromBytes(bytes.data()), false, false, false);
    auto far = PolylineRecord({{{50, 50}, {60, 60}}});
    ASSERT_NE(m_Lines->AddArc(CShapeRecord::FromBytes(far.data()), false, false, false), nullptr);
    std::uint32_t recordset = kUntouched;
    GpiThemeQueryIntersectingArgs a = {m_LinesHandle, GpiShapeHandle(crossing), &recordset};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeQueryIntersecting, &a), GPIERR_NoError);
    EXPECT_EQ(Walk(recordset), (std::vector<std::uint32_t>{m_LineHandle}));
}

// ---------------------------------------------------------------------------
// The selection shape by shape
// ---------------------------------------------------------------------------

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "gpi_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    return *QCoreApplication::instance();
}

// A map view that records the messages posted to it.
class RecordingMapWindow : public CMessageWindow {
public:
    struct Message {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> received;

    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        received.push_back({message, wParam, lParam});
        return 0;
    }
    QObject* GetMessageObject() override { return &m_Object; }

private:
    class Receiver : public QObject {
    public:
        explicit Receiver(RecordingMapWindow* window) : m_Window(window) {}
        bool event(QEvent* e) override { return DispatchPostedMessage(m_Window, e) || QObject::event(e); }
        RecordingMapWindow* m_Window;
    } m_Object{this};
};

} // namespace

TEST_F(GpiShapeOps, SelectingTwiceKeepsOneEntryAndEveryCallPostsTheThemeHandle) {
    App();
    RecordingMapWindow view;
    m_Doc->m_mapView = &view;
    const std::uint32_t second = GpiShapeHandle(m_Points->GetShape(1));
    auto select = [&](std::uint32_t shape, std::uint32_t value) {
        GpiShapeSelectArgs a = {shape, m_PointsHandle, value};
        return GpiHostDispatch(GPIOP_ShapeSelect, &a);
    };
    auto isSelected = [&](std::uint32_t shape) {
        std::uint32_t out = kUntouched;
        GpiShapeIsSelectedArgs a = {shape, m_PointsHandle, &out};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeIsSelected, &a), GPIERR_NoError);
        return out;
    };
    EXPECT_EQ(select(m_PointHandle, 1), GPIERR_NoError);
    EXPECT_EQ(select(m_PointHandle, 1), GPIERR_NoError);
    EXPECT_EQ(m_Points->m_SelectionCounter, 1);
    EXPECT_EQ(m_Points->m_Selection.at(0).m_Width, 3);
    EXPECT_EQ(select(second, 1), GPIERR_NoError);
    EXPECT_EQ(isSelected(m_PointHandle), 1u);
    EXPECT_EQ(isSelected(second), 1u);
    EXPECT_EQ(m_Points->GetSelectionIndex(1), 1);
    // Unselecting the first closes the gap in the selection order.
    EXPECT_EQ(select(m_PointHandle, 0), GPIERR_NoError);
    EXPECT_EQ(isSelected(m_PointHandle), 0u);
    EXPECT_EQ(m_Points->GetSelectionIndex(1), 0);
    // Unselecting a shape that is not selected changes nothing but still posts.
    EXPECT_EQ(select(m_PointHandle, 0), GPIERR_NoError);
    EXPECT_EQ(m_Points->m_SelectionCounter, 1);

    EXPECT_TRUE(view.received.empty()) << "posted, not sent";
    // The theme goes before the messages are handled: they carry its handle,
    // which names nothing once the theme is gone.
    QCoreApplication::processEvents();
    ASSERT_EQ(view.received.size(), 5u);
    for (const auto& message : view.received) {
        EXPECT_EQ(message.message, WM_THEME_SELECTION_CHANGED);
        EXPECT_EQ(message.wParam, 0u);
        EXPECT_EQ(message.lParam, static_cast<std::intptr_t>(m_PointsHandle));
    }
    m_Doc->m_mapView = nullptr;
}

TEST_F(GpiShapeOps, ShapeOfAnotherThemeIsRefused) {
    // The line's shape index is 0, as is the first point's: reading it
    // through the points theme would reach the first point's row.
    m_Points->AddToSelection(0, 0, 3, 0xFF);
    CAttributeFieldInfo info;
    info.m_Name = "NAME";
    info.m_Type = FT_String;
    m_Points->AddAttribute(info, nullptr, nullptr);
    ASSERT_TRUE(m_Points->SetAttributeText(0, 0, "first", false));
    const int selected = m_Points->m_SelectionCounter;
    std::uint32_t out = kUntouched;
    char text[16] = "untouched";
    std::uint32_t size = sizeof text;
    struct Case {
        const char* name;
        std::function<int()> call;
    };
    const Case cases[] = {
        {"is selected",
         [&] {
             GpiShapeIsSelectedArgs a = {m_LineHandle, m_PointsHandle, &out};
             return GpiHostDispatch(GPIOP_ShapeIsSelected, &a);
         }},
        {"select",
         [&] {
             GpiShapeSelectArgs a = {m_LineHandle, m_PointsHandle, 0};
             return GpiHostDispatch(GPIOP_ShapeSelect, &a);
         }},
        {"attribute",
         [&] {
             GpiShapeGetAttributeArgs a = {m_LineHandle, m_PointsHandle, 0, text, &size};
             return GpiHostDispatch(GPIOP_ShapeGetAttribute, &a);
         }},
        {"info tip",
         [&] {
             GpiShapeGetInfoTipTextArgs a = {m_PointsHandle, m_LineHandle, text, &size};
             return GpiHostDispatch(GPIOP_ShapeGetInfoTipText, &a);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(), GPIERR_InvalidHandle);
        EXPECT_EQ(out, kUntouched);
        EXPECT_STREQ(text, "untouched");
        EXPECT_EQ(m_Points->m_SelectionCounter, selected);
    }
    // Its own shape reads as it should.
    GpiShapeGetAttributeArgs own = {m_PointHandle, m_PointsHandle, 0, text, &size};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetAttribute, &own), GPIERR_NoError);
    EXPECT_STREQ(text, "first");
    GpiShapeGetAttributeArgs field = {m_PointHandle, m_PointsHandle, 1, text, &size};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetAttribute, &field), GPIERR_IndexOutOfBounds);
}

TEST_F(GpiShapeOps, FindShapeAnswersOnlyVisibleShapes) {
    // Shape index 1 is filtered out.
    m_Points->AddToSelection(1, 1, 3, 0xFF);
    ASSERT_TRUE(m_Points->FilterSelected());
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::uint32_t out = kUntouched;
        GpiThemeFindShapeArgs a = {m_PointsHandle, 1, &out};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeFindShape, &a), GPIERR_IndexOutOfBounds) << attempt;
        EXPECT_EQ(out, kUntouched);
    }
    std::uint32_t out = kUntouched;
    GpiThemeFindShapeArgs a = {m_PointsHandle, 2, &out};
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeFindShape, &a), GPIERR_NoError);
    EXPECT_EQ(GetShapeRecordIndex(GpiShapeFromHandle(out)), 2);
}

TEST_F(GpiShapeOps, ClearAndInvertTheSelection) {
    m_Points->AddToSelection(0, 0, 3, 0xFF);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeInvertSelection, AsBlock(m_PointsHandle)), GPIERR_NoError);
    EXPECT_EQ(m_Points->m_SelectionCounter, 2);
    EXPECT_EQ(m_Points->m_Selection.count(0), 0u);
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeClearSelection, AsBlock(m_PointsHandle)), GPIERR_NoError);
    EXPECT_EQ(m_Points->m_SelectionCounter, 0);
    EXPECT_TRUE(m_Points->m_Selection.empty());
    EXPECT_EQ(GpiHostDispatch(GPIOP_ThemeClearSelection, AsBlock(m_PointHandle)), GPIERR_InvalidHandle);
}

TEST_F(GpiShapeOps, NearestPointOfPointsAndPolylines) {
    struct Case {
        const char* name;
        std::uint32_t shape;
        double x, y;
        double nx, ny;
    };
    const Case cases[] = {
        {"a point is its own nearest point", m_PointHandle, 0, 0, 10, 20},
        // (0, 1) is nearest to the segment (0, 0)-(1, 1), at its middle.
        {"on a segment", m_LineHandle, 0, 1, 0.5, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double nx = -1, ny = -1;
        GpiShapeGetNearestPointArgs a = {c.shape, 0, c.x, c.y, &nx, &ny};
        EXPECT_EQ(GpiHostDispatch(GPIOP_ShapeGetNearestPoint, &a), GPIERR_NoError);
        EXPECT_DOUBLE_EQ(nx, c.nx);
        EXPECT_DOUBLE_EQ(ny, c.ny);
    }
}
