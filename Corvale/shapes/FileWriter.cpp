#include "shapes/FileWriter.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

CFileWriter::~CFileWriter() { Discard(); }

bool CFileWriter::Open(const char* path) {
    if (path == nullptr || *path == '\0' || m_Stream != nullptr)
        return false;

    std::string target = ResolveTarget(path);
    const auto slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty())
        return false;

    std::string temp = folder + "." + name + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;

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
