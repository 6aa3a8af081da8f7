#pragma once
// The export writers of a theme: a tab-separated attribute table, the
// program's own XML and GPX 1.1, and the exporter classes the Export command
// uses.
//
// which, the selector of every writer: kExportAllShapes (-1) writes every
// shape, filtered-out ones included; kExportVisibleShapes (-2) the visible
// shapes; n >= 0 only the visible shape at position n, and then the XML and
// GPX documents get no head and tail.
//
// Texts are UTF-8 and every line ends in CR LF, written as such: open the
// stream in binary mode. Coordinates have DataViewPrecision decimals.
// The writers show their progress through the user-interface seam.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class CTheme;

constexpr int kExportAllShapes = -1;
constexpr int kExportVisibleShapes = -2;

// The name='value' pairs of one shape for the chosen column names, joined by
// single blanks; names without a column are skipped. Names and values are
// escaped for an XML attribute in apostrophes.
void FormatXmlAttributes(const CTheme& theme, std::string& text, int shapeIndex,
                         const std::vector<std::string>& names);

// Tab-separated table of the chosen columns: a header line, then one line per
// shape. Only names that match a column (exactly, case-sensitive) are written,
// in the header and the rows alike. A value holding a tab, CR, LF or a
// quotation mark is put in quotation marks, inner ones doubled, so that each
// row stays one row. Nothing is written for themes of no point, polyline or
// polygon kind, a theme without columns, or no matching name.
void ExportTable(const CTheme& theme, const std::vector<std::string>& names, std::ostream& out, int which);

// The program's XML document: one element per shape with the chosen columns
// as attributes and its points as Point elements (polygons one Ring element
// per ring).
void ExportXml(const CTheme& theme, const std::vector<std::string>& names, int which, std::ostream& out);

// GPX 1.1: waypoints for point themes, one track for polyline themes (each
// part one segment); polygon themes give head and tail only. GPX holds WGS 84
// longitudes and latitudes: refSystem is the row of the reference-system
// table the theme's coordinates are in, and they are converted from it; with
// -1 (none) they are written as they stand when all lie within +-180 and
// +-90. False, nothing written and error set to the message to show, when a
// coordinate cannot be converted or lies outside those ranges.
bool ExportGpx(const CTheme& theme, std::ostream& out, int which, int refSystem, std::string& error);

// The exporters of the Export command. Every Export does nothing for a null
// theme; all chooses every shape (-1), else the visible ones (-2).
class CThemeExport {
public:
    virtual ~CThemeExport();
    virtual void Export(std::ostream& out, CTheme* theme, bool all) = 0;
};

class CThemeGPXExport : public CThemeExport {
public:
    // The reference-system row of the workspace, -1 for none.
    explicit CThemeGPXExport(int refSystem = -1) : m_RefSystem(refSystem) {}
    // Shows the writer's message as an error when it refuses.
    void Export(std::ostream& out, CTheme* theme, bool all) override;

private:
    int m_RefSystem;
};

// The table and XML exporters ask for the columns first (the attribute
// chooser); Cancel writes nothing.
class CThemeTableExport : public CThemeExport {
public:
    void Export(std::ostream& out, CTheme* theme, bool all) override;
};

class CThemeXMLExport : public CThemeExport {
public:
    void Export(std::ostream& out, CTheme* theme, bool all) override;
};

// How the exporters ask for the columns: fills the chosen names and answers
// true on OK. The program installs its dialog; tests install their own.
// Until something is installed every question is cancelled.
using ExportAttributeChooser = std::function<bool(CTheme& theme, std::vector<std::string>& names)>;
void SetExportAttributeChooser(ExportAttributeChooser chooser);
