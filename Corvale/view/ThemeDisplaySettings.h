#pragma once
// The label and drawing settings of a theme that the renderer reads beside
// the theme's styles: whether and how its shapes are labelled, whether its
// points are joined by a line, whether its image is smoothed.
//
// They are settings of the theme and are stored with it. The renderer asks
// for them here: the answer is the theme's own members, unless a provider has
// been installed (tests use one to set up a theme's labels directly).

#include <QFont>

#include <cstdint>
#include <functional>

class CTheme;

struct CThemeDisplaySettings {
    // Labels ("Draw InfoTip on map"): the theme's info-tip template expanded
    // for each shape.
    bool m_ShowLabels = false;
    QFont m_LabelFont;
    // COLORREFs.
    std::uint32_t m_LabelColor = 0x000000;
    bool m_LabelFrame = false;
    std::uint32_t m_LabelFillColor = 0xFFFFFF;
    std::uint32_t m_LabelFrameColor = 0x000000;
    // Draw a text repeated on several shapes at every one of them.
    bool m_LabelDuplicates = false;
    // A label position code (LabelPosition) for point themes; other themes
    // always centre their labels.
    std::int32_t m_LabelAlignment = 0;
    // Pixels kept free around a placed label.
    std::int32_t m_LabelSpacing = 0;
    // Draw the labels even where they would block later ones: they are still
    // refused where they hit labels placed before them.
    bool m_LabelForce = false;
    // A line joins the visible points in list order.
    bool m_ConnectPoints = false;
    // The image of a raster theme is smoothed when stretched.
    bool m_RasterSmoothing = false;
};

using ThemeDisplaySettingsProvider = std::function<CThemeDisplaySettings(const CTheme&)>;

// The settings the renderer uses for a theme.
CThemeDisplaySettings GetThemeDisplaySettings(const CTheme& theme);
// Installs the source of the settings; an empty function goes back to the
// theme's own members.
void SetThemeDisplaySettingsProvider(ThemeDisplaySettingsProvider provider);
