#pragma once
// The user's options for the whole process: how new themes are added and
// shown, performance and raster handling, the map colours, the colour themes,
// the coordinate display, the console and the six user-script bindings.
//
// There is one instance, CAppSettings::GetInstance; readers take its fields
// directly. The options dialog works on a second instance of its own and
// copies it back with operator=. The values live in the settings store's
// section "Settings" (settings/Registry.h), one value per field under the
// name given beside it; they are read by Load when the main frame is created
// and written by Save only when the options dialog is confirmed or a script is
// bound to a user-script button. Nothing is saved at exit.
//
// Colours are COLORREFs: 32-bit RGB with red in the low byte (0x00BBGGRR).

#include "settings/ColorTheme.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QSettings;

class CAppSettings {
public:
    // The one object of the process, made on first use. Never null.
    static CAppSettings* GetInstance();

    // Empty colour themes and script bindings, every other field at its default.
    CAppSettings();
    CAppSettings(const CAppSettings& other);
    // Copies every field, the colour themes and the strings included.
    CAppSettings& operator=(const CAppSettings& other);
    ~CAppSettings();

    // Every field but the colour themes and the script bindings takes its default.
    void SetDefaults();

    // Reads every value from the store; an absent value (or one that is not of
    // its type) takes its default. The colour themes become the built-in ones
    // and are then replaced by the stored ones when the store holds any.
    // Values are not range-checked, except where a wild value would do harm:
    // DataViewPrecision is held to 0..56, ConsoleMaxCallDepth to 1..500 and
    // ConsoleBufferSize_kB to 1..32, the ranges the options pages allow.
    void Load();
    void Load(QSettings& settings);
    // Writes every value except DynamicHelpLevel, which is only ever read, and
    // the colour themes through SaveColorThemes. False when the store could
    // not be written. The QSettings form leaves writing the file to the
    // caller's sync(). The QSettings forms of Load and Save expect the store
    // at its top-level group.
    bool Save() const;
    bool Save(QSettings& settings) const;

    // CCTemplate with every "<X>" replaced by x, every "<Y>" by y (both in
    // fixed notation with DataViewPrecision decimals) and every "<TAB>" by a
    // tab character.
    std::string FormatCopyCoordinate(double x, double y) const;

    // LoadToBottom: 0 = new themes are added first (top of the Z-order),
    // 1 = last (bottom).
    int m_LoadToBottom;
    // Performance: 0 low memory usage .. 2 high performance; at 2 large themes
    // build a spatial hash.
    int m_Performance;
    // ThemesVisible: new themes are visible.
    int m_ThemesVisible;
    // LoadLatestWorkspace: open the most recent workspace at start-up when no
    // file is given.
    int m_LoadLatestWorkspace;
    // UnloadHiddenRasters: unload the images of hidden raster themes.
    int m_UnloadHiddenRasters;
    // MouseWheelZoom: the mouse wheel zooms the map (no options page sets it).
    int m_MouseWheelZoom;
    // ColorSelection: fill of selected shapes.
    std::uint32_t m_ColorSelection;
    // ColorSelectionOutline: outline of selected shapes.
    std::uint32_t m_ColorSelectionOutline;
    // ColorBkgnd: map background.
    std::uint32_t m_ColorBkgnd;
    // ColorDefault: colour of new themes.
    std::uint32_t m_ColorDefault;
    // ColorOutline: outline colour (no options page sets it).
    std::uint32_t m_ColorOutline;
    // LoaderOverride: loader plug-ins may override the default colour.
    int m_LoaderOverride;
    // Key "ColorThemes" below "Settings".
    std::vector<CColorTheme> m_ColorThemes;
    // DataViewPrecision: decimals of coordinates in the data views and in
    // copied coordinates.
    int m_DataViewPrecision;
    // CCTemplate: text of Copy Coordinate.
    std::string m_CCTemplate;
    // AutoLocate: locate a single selected point or coordinate in the map when
    // it is not visible.
    int m_AutoLocate;
    // DynamicHelpLevel: read, never written.
    int m_DynamicHelpLevel;
    // ConsoleColorScheme: 0 black on white, 1 white on black.
    int m_ConsoleColorScheme;
    // ConsoleAutoRun: console script file run automatically.
    std::string m_ConsoleAutoRun;
    // ConsoleMaxCallDepth: nesting limit of the console's run command.
    int m_ConsoleMaxCallDepth;
    // ConsoleBufferSize_kB: console output buffer in kB, for new workspaces.
    int m_ConsoleBufferSize_kB;
    // UserScript0 .. UserScript5: script file bound to user-script button n;
    // empty = unbound.
    std::array<std::string, 6> m_UserScripts;
    // LockPlugins: "Lock all plugins." (takes effect after a restart).
    int m_LockPlugins;
};

// Earth, Neon, Green, Blue and Red: the colour themes of a store that holds none.
std::vector<CColorTheme> GetBuiltInColorThemes();

// value in fixed notation with precision decimals, with a decimal point
// whatever the locale; precision is held to 0..56. "nan", "inf" and "-inf"
// for values that are no numbers.
std::string FormatDecimal(int precision, double value);
// Catches calls with the arguments swapped: FormatDecimal(3.25, 2) would
// otherwise print 2 with 3 decimals.
std::string FormatDecimal(double value, int precision) = delete;

// "X: <X>, Y: <Y>"
std::string DefaultCopyCoordinateTemplate();
// The empty text.
std::string DefaultConsoleAutoRun();
