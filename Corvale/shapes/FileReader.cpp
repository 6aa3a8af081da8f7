#include "shapes/FileReader.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CFileReader::~CFileReader() { Close(); }

bool CFileReader::Open(const char* fileName) {
    if (fileName == nullptr || m_File >= 0)
        return false;

    // O_NONBLOCK keeps a FIFO named by mistake from hanging the open; it has no
    // effect on regular files, the only kind accepted below.
    int fd = ::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return false;
    }

    void* view = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        ::close(fd);
        return false;
    }

    m_File = fd;
    m_View = static_cast<const unsigned char*>(view);
    m_Size = static_cast<std::uint64_t>(st.st_size);
    m_Position = 0;
    return true;
}

bool CFileReader::IsOpen() const { return m_View != nullptr; }

bool CFileReader::IsEOF() const { return m_Position >= m_Size; }

void CFileReader::Close() {
    if (m_View != nullptr) {
        ::munmap(const_cast<unsigned char*>(m_View), static_cast<std::size_t>(m_Size));
        m_View = nullptr;
    }
    if (m_File >= 0) {
        ::close(m_File);
        m_File = -1;
    }
    m_Size = 0;
    m_Position = 0;
}

std::size_t CFileReader::Read(void* buffer, std::size_t n) {
    if (m_View == nullptr || buffer == nullptr || m_Position >= m_Size)
        return 0;
    const std::uint64_t available = m_Size - m_Position;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, available));
    std::memcpy(buffer, m_View + m_Position, count);
    m_Position += count;
    return count;
}

void CFileReader::SetPosition(std::uint64_t offset) { m_Position = offset; }

std::uint64_t CFileReader::GetPosition() const { return m_Position; }

const unsigned char* CFileReader::GetData() const { return m_View; }

const unsigned char* CFileReader::GetCurrentPointer() const {
    if (m_View == nullptr || m_Position >= m_Size)
        return nullptr;
    return m_View + m_Position;
}
