#include "core/FileEnumeration.h"

#include "platform/Wildcard.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace stdext {

namespace {

// The current folder, however long its path is.
bool CurrentDirectory(std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            path = buffer.data();
            return true;
        }
        if (errno != ERANGE || buffer.size() > (std::size_t(1) << 20))
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool IsDirectoryEntry(DIR* dir, const dirent* entry) {
    switch (entry->d_type) {
    case DT_DIR:
        return true;
    case DT_UNKNOWN:
    case DT_LNK: {
        // Some file systems do not fill d_type; a link counts as what it
        // points at, as a folder link did on Windows.
        struct stat info;
        if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0)
            return false;
        return S_ISDIR(info.st_mode);
    }
    default:
        return false;
    }
}

} // namespace

bool basic_file_pattern_match_simple_pattern::accept(const basic_file_enumeration_data& entry) const {
    return corvale::MatchWildcard(entry.name, m_Pattern);
}

basic_file_enumeration::basic_file_enumeration(const char* directory, const basic_file_enumeration_filter* filter) {
    std::string path;
    if (directory != nullptr)
        path = directory;
    else if (!CurrentDirectory(path))
        return;

    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        basic_file_enumeration_data data;
        data.name = entry->d_name;
        data.directory = IsDirectoryEntry(dir.get(), entry);
        if (filter == nullptr || filter->accept(data))
            push_back(std::move(data));
    }
}

} // namespace stdext
