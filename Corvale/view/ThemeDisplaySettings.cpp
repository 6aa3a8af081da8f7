#include "view/ThemeDisplaySettings.h"

#include <utility>

namespace {

ThemeDisplaySettingsProvider& Provider() {
    static ThemeDisplaySettingsProvider provider;
    return provider;
}

} // namespace

CThemeDisplaySettings GetThemeDisplaySettings(const CTheme& theme) {
    const ThemeDisplaySettingsProvider& provider = Provider();
    return provider ? provider(theme) : CThemeDisplaySettings();
}

void SetThemeDisplaySettingsProvider(ThemeDisplaySettingsProvider provider) {
    Provider() = std::move(provider);
}
