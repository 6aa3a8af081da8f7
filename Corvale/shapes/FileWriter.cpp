#include "shapes/FileWriter.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Writing through a symbolic link must replace the file it points at, not the
// link itself.
std::string ResolveTarget(const char* path) {
    struct stat st {};
    if (::lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved) != nullptr)
            return resolved;
    }
    return path;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool IsTempSuffix(const char* suffix) {
    if (std::strlen(suffix) != 6)
        return false;
    for (const char* c = suffix; *c != '\0'; ++c)
        if (!((*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z')))
            return false;
    return true;
}

// Removes the temporary files ".name.XXXXXX" that an interrupted save to
// folder/name left behind. A writer holds a lock on its temporary file for as
// long as it is open, in this process or another, so a file that can be
// locked is a leftover; one that cannot is being written and stays.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
    const std::string prefix = "." + name + ".";
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return;
    std::vector<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        const char* entryName = entry->d_name;
        if (std::strncmp(entryName, prefix.c_str(), prefix.size()) == 0 && IsTempSuffix(entryName + prefix.size()))
            found.push_back(folder + entryName);
    }
    ::closedir(dir);
    for (const std::string& path : found) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

bool InGroup(gid_t group) {
    if (group == ::getegid())
        return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    const int got = ::getgroups(n, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    return false;
}

} // namespace

bool CFileWriter::IsReadOnlyFile(const char* path) {
    struct stat st {};
    if (path == nullptr || ::stat(path, &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    const uid_t user = ::geteuid();
    if (user == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (st.st_uid == user)
        return (st.st_mode & S_IWUSR) == 0;
    if (InGroup(st.st_gid))
        return (st.st_mode & S_IWGRP) == 0;
    return (st.st_mode & S_IWOTH) == 0;
}

std::string ReadOnlyFileMessage(const std::string& path) {
    return "The file\n" + path + "\nis read-only and was not replaced.";
}

std::string OpenFailureMessage(CFileWriter::OpenError error, const std::string& path, const std::string& general) {
    return error == CFileWriter::FOE_ReadOnly ? ReadOnlyFileMessage(path) : general;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes, CFileWriter::OpenError* error) {
    CFileWriter writer;
    const bool opened = writer.Open(path.c_str());
    if (error != nullptr)
        *error = writer.GetOpenError();
    if (!opened)
        return false;
    if (writer.Write(bytes.data(), bytes.size()) != bytes.size()) {
        writer.Discard();
        return false;
    }
    return writer.Close();
}

CFileWriter::~CFileWriter() { Discard(); }

bool CFileWriter::Open(const char* path) {
    if (path == nullptr || *path == '\0' || m_Stream != nullptr)
        return false;
    m_OpenError = FOE_CannotCreate;

    std::string target = ResolveTarget(path);
    const auto slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty())
        return false;
    if (IsReadOnlyFile(target.c_str())) {
        m_OpenError = FOE_ReadOnly;
        return false;
    }
    RemoveLeftovers(folder, name);

    std::string temp = folder + "." + name + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    // The lock marks the file as in use until the writer closes it.
    ::flock(fd, LOCK_EX | LOCK_NB);

    // mkstemp creates the file readable by its owner only; give it the mode the
    // file it replaces had, or the one a newly created file would get.
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    ::fchmod(fd, mode);

    std::FILE* stream = ::fdopen(fd, "wb");
    if (stream == nullptr) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    m_Stream = stream;
    m_TempPath = std::move(temp);
    m_TargetPath = std::move(target);
    m_Failed = false;
    m_OpenError = FOE_None;
    return true;
}

bool CFileWriter::IsOpen() const { return m_Stream != nullptr; }

bool CFileWriter::Close() {
    if (m_Stream == nullptr)
        return false;
    bool ok = !m_Failed;
    ok = std::fflush(m_Stream) == 0 && ok;
    ok = ::fsync(::fileno(m_Stream)) == 0 && ok;
    ok = std::fclose(m_Stream) == 0 && ok;
    m_Stream = nullptr;
    if (ok)
        ok = std::rename(m_TempPath.c_str(), m_TargetPath.c_str()) == 0;
    if (!ok)
        ::unlink(m_TempPath.c_str());
    m_TempPath.clear();
    m_TargetPath.clear();
    m_Failed = false;
    return ok;
}

bool CFileWriter::Flush() {
    if (m_Stream == nullptr)
        return false;
    if (!m_Failed && (std::fflush(m_Stream) != 0 || ::fsync(::fileno(m_Stream)) != 0))
        m_Failed = true;
    return !m_Failed;
}

std::size_t CFileWriter::Write(const void* buffer, std::size_t n) {
    if (m_Stream == nullptr || (buffer == nullptr && n > 0))
        return 0;
    const std::size_t written = std::fwrite(buffer, 1, n, m_Stream);
    if (written != n)
        m_Failed = true;
    return written;
}

std::int64_t CFileWriter::GetPosition() const {
    if (m_Stream == nullptr)
        return -1;
    return static_cast<std::int64_t>(::ftello(m_Stream));
}

void CFileWriter::Discard() {
    if (m_Stream == nullptr)
        return;
    std::fclose(m_Stream);
    m_Stream = nullptr;
    ::unlink(m_TempPath.c_str());
    m_TempPath.clear();
    m_TargetPath.clear();
    m_Failed = false;
}
