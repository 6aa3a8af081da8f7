#pragma once
// Writing the map to image files: one image of the view, or a grid of
// sheets that together cover the map extent, each with an optional world
// file or sheet text; and the HTML image map of a point or polygon theme
// over a saved image.
//
// The choices of the image dialogs last for the rest of the process and are
// never stored with the settings.

#include "view/MapViewport.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <string>

class CTheme;

// One entry of the sheet dialog's encoding list.
struct CSheetImageFormat {
    const char* name;
    const char* extension;
    // Bits per pixel of the image the sheet is rendered into.
    int bits;
};

constexpr int kSheetImageFormatCount = 5;
extern const CSheetImageFormat kSheetImageFormats[kSheetImageFormatCount];

// Transformation files written beside each sheet.
enum SheetTransformKind : int {
    STK_Skip = 0,
    STK_WorldFile = 1,
    STK_SheetText = 2,
};

// What the multiple-sheets dialog edits, and what the sheet run reads.
struct CMapSheetSettings {
    int columns = 2;
    int rows = 2;
    int width = 100;
    int height = 100;
    // The view's client size, for the automatic value.
    int clientWidth = 0;
    int clientHeight = 0;
    std::string fileTemplate = "img_<SHEETY>_<SHEETX>";
    std::string directory;
    std::string extension = ".bmp";
    int bits = 24;
    int encodingIndex = 0;
    int transformKind = STK_Skip;
    // Set: the image height follows from the other values; clear: the rows do.
    bool heightAutomatic = true;
};

// The values remembered since the program started.
CMapSheetSettings& RememberedMapSheetSettings();
// The Save Map Image choice: 0 one image, 1 several sheets.
int& RememberedMapImageChoice();

// Recomputes the automatic value (the height, or the rows) in floating
// point, rounded up; nothing changes when a divisor is zero. True when the
// value was computed.
bool ComputeAutomaticSheetValue(CMapSheetSettings& settings);

// The template with every "<SHEETX>" replaced by column + 1 and every
// "<SHEETY>" by row + 1 (case-sensitive).
std::string ExpandSheetTemplate(const std::string& fileTemplate, int column, int row);

// The text of a world file (kind 1) or sheet text (kind 2) for a sheet of
// width x height pixels over the extent; CR LF line ends.
std::string SheetTransformText(int kind, double left, double top, double right, double bottom,
                               int width, int height);

// The image as a file. An empty format chooses it by the path's extension
// (letter case ignored); GIF is written by our own encoder, since Qt has
// none. With a transparent colour that occurs in the image, a GIF gets a
// palette entry of its own for it, marked transparent; other formats are
// saved as they are. The file is written beside the target and moved over
// it only when complete, so a failed save leaves an existing file intact;
// a target marked read-only is refused and left as it is.
bool SaveImageFile(const QImage& image, const std::string& path, const QByteArray& format,
                   const std::uint32_t* transparentColour);

// A GIF of the image (at most 256 colours are kept exactly; richer images
// are reduced); transparent: a COLORREF whose pixels become transparent, or
// null.
bool WriteGifFile(const QImage& image, const std::string& path,
                  const std::uint32_t* transparentColour);

// The image formats the Save Map Image dialog offers, as a file-dialog
// filter ("PNG (*.png)|*.png|...||").
std::string MapImageFileFilter();

// ---- HTML image maps ----

struct CImageMapTexts {
    std::string href;
    std::string alt;
    std::string custom;
};

// The number of shapes that get areas: every visible shape, or the selected
// ones, whose point or a corner of whose box lies in the image.
int CountImageMapShapes(CTheme& theme, const CMapViewport& viewport, bool selectedOnly);
// The size the map text is estimated to take, in bytes.
std::int64_t EstimateImageMapSize(const CImageMapTexts& texts, int count);
// The map text: "<map name='map'>", one <Area> per point or polygon part
// within the image, "</map>". Values put in for placeholders are escaped for
// HTML attributes; the texts the user typed are kept as they are.
std::string GenerateImageMap(CTheme& theme, const CMapViewport& viewport, bool selectedOnly,
                             const CImageMapTexts& texts);
// The test page around a map text and an image path (escaped).
std::string ImageMapTestPage(const std::string& mapText, const std::string& imagePath);
// ' " < > & as character references.
std::string EscapeHtmlAttribute(const std::string& text);
