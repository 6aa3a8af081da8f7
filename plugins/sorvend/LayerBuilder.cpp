#include "LayerBuilder.h"

#include "GpiClient.h"
#include "Odbc.h"
#include "WktReader.h"
#include "shapes/ShapeRecordBuilder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t kPointType = 1;
constexpr std::uint32_t kPolylineType = 3;
constexpr std::uint32_t kPolygonType = 5;
constexpr std::size_t kPointRecordSize = 28;
// Room the host makes for the first shapes of a new theme; after that the
// room doubles whenever it is used up, so a million rows cost a few dozen
// reallocations rather than one per row.
constexpr std::uint32_t kFirstReserve = 1024;

// Opens (or keeps open) the theme's batch with room for count more shapes.
void ReserveInBatch(const CvTheme& theme, std::uint32_t count) {
    const GpiInitInfo& info = CvClientInitInfo();
    GpiThemeUpdateBatchReserveArgs args = {info.identity, theme.handle, 0, count};
    const int code = info.dispatch != nullptr ? info.dispatch(GPIOP_ThemeUpdateBatchReserve, &args)
                                              : static_cast<int>(GPIERR_InvalidHandle);
    if (code != GPIERR_NoError)
        throw CvException(code);
}

// A coordinate as the database gave it, with a decimal comma taken as a
// point. Empty (NULL), not a number, or not finite: no coordinate.
bool ReadCoordinate(std::string text, double& value) {
    std::replace(text.begin(), text.end(), ',', '.');
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t first = 0, last = text.size();
    while (first < last && isSpace(text[first]))
        ++first;
    while (last > first && isSpace(text[last - 1]))
        --last;
    const char* begin = text.data() + first;
    const char* end = text.data() + last;
    if (begin < end && *begin == '+')
        ++begin;
    if (begin == end)
        return false;
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

// The themes of one load, made on demand.
class CLoadThemes {
public:
    CLoadThemes(const CvWorkspace& workspace, CRecordset& recordset) : m_Workspace(workspace), m_Recordset(recordset) {}

    // The theme for a shape of the type, made on its first shape, with room
    // for one more shape.
    const CvTheme& Get(std::uint32_t type) {
        CvTheme& slot = Slot(type);
        Room& room = RoomOf(type);
        if (slot.handle != 0 && room.added == room.reserved) {
            const std::uint32_t more = std::max(room.added, kFirstReserve);
            ReserveInBatch(slot, more);
            room.reserved += more;
        }
        ++room.added;
        if (slot.handle == 0) {
            const char* name = type == kPointType ? "ODBC Points" : type == kPolylineType ? "ODBC Polylines"
                                                                                          : "ODBC Polygons";
            slot = m_Workspace.AddTheme(type, name);
            m_Made.push_back(slot);
            ReserveInBatch(slot, kFirstReserve);
            room.reserved = kFirstReserve;
            const std::uint32_t columns = m_Recordset.GetODBCFieldCount();
            for (std::uint32_t c = 0; c < columns; ++c) {
                const CODBCFieldInfo& info = m_Recordset.GetODBCFieldInfo(c);
                slot.AddField(FieldTypeOfSqlType(info.m_nSQLType), info.m_strName.c_str(), nullptr);
            }
        }
        return slot;
    }

    const std::vector<CvTheme>& Made() const { return m_Made; }
    std::uint32_t Points() const { return m_Points.handle; }

private:
    struct Room {
        std::uint32_t added = 0;
        std::uint32_t reserved = 0;
    };

    CvTheme& Slot(std::uint32_t type) {
        return type == kPointType ? m_Points : type == kPolylineType ? m_Polylines : m_Polygons;
    }
    Room& RoomOf(std::uint32_t type) {
        return m_Rooms[type == kPointType ? 0 : type == kPolylineType ? 1 : 2];
    }

    const CvWorkspace& m_Workspace;
    CRecordset& m_Recordset;
    CvTheme m_Points, m_Polylines, m_Polygons;
    Room m_Rooms[3];
    std::vector<CvTheme> m_Made;
};

// Takes the themes out of batch mode (those still known to the host) and
// removes them from the workspace; failures on the way are dropped, the
// first failure has been reported already.
void RemoveMade(const CvWorkspace& workspace, const std::vector<CvTheme>& made) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        try {
            if (!it->IsValid())
                continue;
            it->UpdateBatch(true);
            workspace.RemoveTheme(*it);
        } catch (const CvException&) {
        }
    }
}

} // namespace

std::string SkippedRowsText(std::uint64_t skipped, std::uint64_t rows) {
    return std::to_string(skipped) + " of " + std::to_string(rows) +
           " rows were skipped: their coordinates are missing or could not be read.";
}

std::uint32_t FieldTypeOfSqlType(int sqlType) {
    switch (sqlType) {
    case 4:   // SQL_INTEGER
    case 5:   // SQL_SMALLINT
    case -6:  // SQL_TINYINT
    case -5:  // SQL_BIGINT: the table keeps the digits, so no value is cut to 32 bits
    case -15: case -16: case -17: case -18: case -26: case -28:
        return GPIFT_Int;
    case 2:   // SQL_NUMERIC
    case 3:   // SQL_DECIMAL
    case 6:   // SQL_FLOAT
    case 7:   // SQL_REAL
    case 8:   // SQL_DOUBLE
        return GPIFT_Double;
    case -7:  // SQL_BIT
        return GPIFT_Boolean;
    default:
        return GPIFT_String;
    }
}

bool BuildLayer(std::uint32_t workspaceHandle, CRecordset* recordset, std::uint32_t east, std::uint32_t north,
                bool wkt, std::uint32_t* pointsTheme, CLayerBuildReport& report) {
    if (recordset == nullptr)
        return false;
    // A column that is not there is the caller's fault, found before the
    // workspace changes.
    recordset->GetODBCFieldInfo(east);
    if (!wkt)
        recordset->GetODBCFieldInfo(north);

    const CvWorkspace workspace(workspaceHandle);
    CLoadThemes themes(workspace, *recordset);
    std::uint64_t rows = 0;
    std::uint64_t skipped = 0;
    try {
        const std::uint32_t themesBefore = workspace.GetThemeCount();
        recordset->MoveFirst();
        const std::uint32_t columns = recordset->GetODBCFieldCount();
        std::vector<std::string> values(columns);
        std::vector<const char*> pointers(columns);
        std::vector<WktRecord> records;
        unsigned char pointRecord[kPointRecordSize];
        while (!recordset->IsEOF()) {
            ++rows;
            for (std::uint32_t c = 0; c < columns; ++c) {
                recordset->GetFieldValue(c, values[c]);
                pointers[c] = values[c].c_str();
            }
            // Usually one shape per row; a text of several geometries of one
            // kind gives each its own shape with the row's values.
            std::vector<const void*> shapes;
            std::uint32_t type = 0;
            if (!wkt) {
                double x = 0, y = 0;
                if (ReadCoordinate(values[east], x) && ReadCoordinate(values[north], y)) {
                    CShapePointCreator().CreatePoint(pointRecord, x, y);
                    shapes.push_back(pointRecord);
                    type = kPointType;
                }
            } else {
                records.clear();
                type = ReadWktShapes(values[east].c_str(), records);
                for (const WktRecord& bytes : records)
                    shapes.push_back(bytes.data());
            }
            if (shapes.empty())
                ++skipped;
            for (const void* record : shapes) {
                const CvTheme& theme = themes.Get(type);
                const CvShape shape = theme.AddShape(record);
                shape.SetAttributes(theme, columns, pointers.data());
            }
            recordset->MoveNext();
        }
        for (const CvTheme& theme : themes.Made())
            theme.UpdateBatch(true);
        if (themesBefore == 0 && !themes.Made().empty()) {
            workspace.GetMap().ZoomToTheme(CvTheme());
            for (const CvTheme& theme : themes.Made())
                theme.SetSelected(true);
        }
        if (pointsTheme != nullptr)
            *pointsTheme = themes.Points();
        workspace.NotifyChanged();
    } catch (const CvException& e) {
        report.HostError(e.GetText());
        RemoveMade(workspace, themes.Made());
        return false;
    } catch (const CDBException& e) {
        report.DatabaseError(e.what());
        RemoveMade(workspace, themes.Made());
        return false;
    }
    if (skipped > 0)
        report.RowsSkipped(skipped, rows);
    return true;
}
