#include "view/ThemeDisplaySettings.h"

#include "core/LogFont.h"
#include "core/Theme.h"

#include <utility>

namespace {

ThemeDisplaySettingsProvider& Provider() {
    static ThemeDisplaySettingsProvider provider;
    return provider;
}

} // namespace

CThemeDisplaySettings GetThemeDisplaySettings(const CTheme& theme) {
    const ThemeDisplaySettingsProvider& provider = Provider();
    if (provider)
        return provider(theme);
    CThemeDisplaySettings settings;
    settings.m_ShowLabels = theme.m_ShowLabels;
    settings.m_LabelFont = QFontFromLogFont(theme.m_LabelFont);
    settings.m_LabelColor = theme.m_LabelColor;
    settings.m_LabelFrame = theme.m_LabelFrame;
    settings.m_LabelFillColor = theme.m_LabelFillColor;
    settings.m_LabelFrameColor = theme.m_LabelFrameColor;
    settings.m_LabelDuplicates = theme.m_LabelDuplicates;
    settings.m_LabelAlignment = theme.m_LabelAlignment;
    settings.m_LabelSpacing = theme.m_LabelSpacing;
    settings.m_LabelForce = theme.m_LabelForce;
    settings.m_ConnectPoints = theme.m_ConnectPoints;
    settings.m_RasterSmoothing = theme.m_RasterSmoothing;
    return settings;
}

void SetThemeDisplaySettingsProvider(ThemeDisplaySettingsProvider provider) {
    Provider() = std::move(provider);
}
