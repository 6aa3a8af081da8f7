#pragma once
// Turns the rows of an open recordset into themes of a workspace of the
// host: one point per row from an east and a north column, or points,
// polylines and polygons from a column of well-known text. All host calls go
// through the GPI client classes.

#include <cstdint>
#include <string>

class CRecordset;

// What a load tells its user; the plug-in shows message boxes, tests record.
class CLayerBuildReport {
public:
    virtual ~CLayerBuildReport() = default;
    // A host operation failed (the text of its CvException).
    virtual void HostError(const std::string& text) = 0;
    // The database failed while the rows were read.
    virtual void DatabaseError(const std::string& text) = 0;
    // Rows that gave no shape (missing or unreadable coordinates) were left
    // out; called once, after a load that left some out.
    virtual void RowsSkipped(std::uint64_t skipped, std::uint64_t rows) = 0;
};

// The message RowsSkipped shows.
std::string SkippedRowsText(std::uint64_t skipped, std::uint64_t rows);

// The theme field type (GPIFT_*) of an ODBC SQL type.
std::uint32_t FieldTypeOfSqlType(int sqlType);

// Loads every row of the recordset (from its first) into the workspace.
// east and north are 0-based column indices; with wkt, east is the column
// of well-known text and north is not read. Themes "ODBC Points", "ODBC
// Polylines" and "ODBC Polygons" are made as their first shape comes, with
// one field per column. When the workspace had no theme, the map zooms to
// the new data and the new themes are selected. pointsTheme, when not null,
// receives the points theme (0 when none was made).
//
// A failure is reported and answers false; the themes made so far are
// removed again. A column index outside the recordset's columns throws
// std::invalid_argument before anything is made.
bool BuildLayer(std::uint32_t workspace, CRecordset* recordset, std::uint32_t east, std::uint32_t north, bool wkt,
                std::uint32_t* pointsTheme, CLayerBuildReport& report);
