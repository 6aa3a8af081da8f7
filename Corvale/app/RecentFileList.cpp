#include "app/RecentFileList.h"

#include "platform/Registry.h"

#include <QSettings>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryName(int index) { return QStringLiteral("File%1").arg(index + 1); }

} // namespace

void CRecentFileList::ReadList() {
    m_Entries.clear();
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(kSection);
    for (int i = 0; i < kSize; ++i) {
        std::string path = corvale::ReadRegistryString(*settings, EntryName(i), std::string());
        if (!path.empty())
            m_Entries.push_back(std::move(path));
    }
    settings->endGroup();
}

bool CRecentFileList::WriteList() const {
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(kSection);
    for (int i = 0; i < kSize; ++i) {
        if (static_cast<std::size_t>(i) < m_Entries.size())
            corvale::WriteRegistryString(*settings, EntryName(i), m_Entries[static_cast<std::size_t>(i)]);
        else
            settings->remove(EntryName(i));
    }
    settings->endGroup();
    settings->sync();
    return settings->status() == QSettings::NoError;
}

void CRecentFileList::Add(const std::string& path) {
    if (path.empty())
        return;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string entry = error ? path : absolute.lexically_normal().string();
    const auto found = std::find(m_Entries.begin(), m_Entries.end(), entry);
    if (found != m_Entries.end())
        m_Entries.erase(found);
    m_Entries.insert(m_Entries.begin(), entry);
    if (m_Entries.size() > static_cast<std::size_t>(kSize))
        m_Entries.resize(kSize);
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < m_Entries.size())
        m_Entries.erase(m_Entries.begin() + index);
}

std::string CRecentFileList::Get(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_Entries.size())
        return std::string();
    return m_Entries[static_cast<std::size_t>(index)];
}
