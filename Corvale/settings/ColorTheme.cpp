#include "settings/ColorTheme.h"

#include "platform/ByteOrder.h"
#include "settings/Registry.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace {

const QString kColorThemesKey = QStringLiteral("Settings/ColorThemes");

} // namespace

CColorTheme::CColorTheme(std::string name, std::vector<std::uint32_t> colors)
    : m_Name(std::move(name)), m_Colors(std::move(colors)) {}

void CColorTheme::Assign(const CColorTheme& other) {
    m_Name = other.m_Name;
    m_Colors = other.m_Colors;
}

std::uint32_t CColorTheme::GetColor(int i) const {
    if (m_Colors.empty())
        return 0;
    const auto count = static_cast<long long>(m_Colors.size());
    long long index = static_cast<long long>(i) % count;
    if (index < 0)
        index += count;
    return m_Colors[static_cast<std::size_t>(index)];
}

bool CColorTheme::operator==(const CColorTheme& other) const {
    return m_Name == other.m_Name && m_Colors == other.m_Colors;
}

QByteArray EncodeColorThemeData(const std::vector<std::uint32_t>& colors) {
    QByteArray data(static_cast<qsizetype>(colors.size() * 4), '\0');
    for (std::size_t i = 0; i < colors.size(); ++i)
        corvale::WriteLE32(data.data() + i * 4, colors[i]);
    return data;
}

bool DecodeColorThemeData(const QByteArray& data, std::vector<std::uint32_t>& colors) {
    const auto size = static_cast<std::size_t>(data.size());
    if (size == 0 || size > kMaxColorThemeDataSize || size % 4 != 0)
        return false;
    std::vector<std::uint32_t> decoded(size / 4);
    for (std::size_t i = 0; i < decoded.size(); ++i)
        decoded[i] = corvale::ReadLE32(data.constData() + i * 4);
    colors = std::move(decoded);
    return true;
}

bool LoadColorThemes(std::vector<CColorTheme>& themes) {
    auto settings = corvale::OpenRegistry();
    return LoadColorThemes(*settings, themes);
}

bool LoadColorThemes(QSettings& settings, std::vector<CColorTheme>& themes) {
    // The Windows program also failed here when it could not open the key for
    // writing; loading writes nothing, so only a store that cannot be read
    // counts as failure.
    if (settings.status() == QSettings::AccessError || !settings.group().isEmpty())
        return false;
    settings.beginGroup(kColorThemesKey);
    const QStringList keys = settings.childKeys();
    if (keys.isEmpty()) {
        // An empty key keeps the caller's list: after the user deleted every
        // theme the built-in ones come back on the next start.
        settings.endGroup();
        return true;
    }
    themes.clear();
    for (const QString& key : keys) {
        const QVariant value = settings.value(key);
        if (value.typeId() != QMetaType::QByteArray)
            continue;
        const std::string name = corvale::DecodeRegistryValueName(key);
        if (QString::fromStdString(name).size() > kMaxColorThemeNameLength)
            continue;
        std::vector<std::uint32_t> colors;
        if (!DecodeColorThemeData(value.toByteArray(), colors))
            continue;
        themes.emplace_back(name, std::move(colors));
    }
    settings.endGroup();
    return true;
}

bool SaveColorThemes(const std::vector<CColorTheme>& themes) {
    auto settings = corvale::OpenRegistry();
    if (!SaveColorThemes(*settings, themes))
        return false;
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool SaveColorThemes(QSettings& settings, const std::vector<CColorTheme>& themes) {
    if (!settings.isWritable() || !settings.group().isEmpty())
        return false;
    settings.beginGroup(kColorThemesKey);
    // Values only: subkeys below "ColorThemes" were never the program's, and
    // deleting values left them alone.
    for (const QString& key : settings.childKeys())
        settings.remove(key);
    for (const CColorTheme& theme : themes)
        settings.setValue(corvale::EncodeRegistryValueName(theme.m_Name), EncodeColorThemeData(theme.m_Colors));
    settings.endGroup();
    return true;
}
