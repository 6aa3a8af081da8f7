#include "workspace/RecentPathList.h"

#include "settings/Registry.h"

#include <QSettings>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

QString EntryName(int index) { return QStringLiteral("File%1").arg(index + 1); }

} // namespace

void CRecentPathList::ReadList() {
    m_Entries.clear();
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(QString::fromLatin1(m_Section));
    for (int i = 0; i < m_Size; ++i) {
        std::string path = corvale::ReadRegistryString(*settings, EntryName(i), std::string());
        if (!path.empty())
            m_Entries.push_back(std::move(path));
    }
    settings->endGroup();
}

bool CRecentPathList::WriteList() const {
    auto settings = corvale::OpenRegistry();
    settings->beginGroup(QString::fromLatin1(m_Section));
    for (int i = 0; i < m_Size; ++i) {
        if (static_cast<std::size_t>(i) < m_Entries.size())
            corvale::WriteRegistryString(*settings, EntryName(i), m_Entries[static_cast<std::size_t>(i)]);
        else
            settings->remove(EntryName(i));
    }
    settings->endGroup();
    settings->sync();
    return settings->status() == QSettings::NoError;
}

void CRecentPathList::Add(const std::string& path) {
    if (path.empty())
        return;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string entry = error ? path : absolute.lexically_normal().string();
    auto found = std::find(m_Entries.begin(), m_Entries.end(), entry);
    if (found != m_Entries.end())
        m_Entries.erase(found);
    m_Entries.insert(m_Entries.begin(), entry);
    if (m_Entries.size() > static_cast<std::size_t>(m_Size))
        m_Entries.resize(m_Size);
}

void CRecentPathList::Remove(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < m_Entries.size())
        m_Entries.erase(m_Entries.begin() + index);
}

std::string CRecentPathList::Get(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_Entries.size())
        return std::string();
    return m_Entries[static_cast<std::size_t>(index)];
}
