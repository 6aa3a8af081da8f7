#include "platform/FileNames.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace corvale {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string PathStem(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = path.find_last_of('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart)
        return path;
    return path.substr(0, dot);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FindSiblingFile(const std::string& stem, const std::string& extension) {
    const std::string exact = stem + extension;
    if (IsRegularFile(exact))
        return exact;

    const auto slash = stem.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : stem.substr(0, slash + 1);
    const std::string wanted = (slash == std::string::npos ? stem : stem.substr(slash + 1)) + extension;
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr)
        return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, wanted.c_str()) != 0)
            continue;
        const std::string candidate = (slash == std::string::npos ? std::string() : folder) + entry->d_name;
        if (IsRegularFile(candidate)) {
            found = candidate;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace corvale
