#pragma once
// The binary archive in which workspaces, themes and plug-in data are stored.
//
// Encoding, fixed for every file the program has written:
// - integers and doubles little-endian, written raw (u8, u16, u32, i32, f64);
// - a string is a length prefix and then its bytes without terminator. The
//   prefix is one byte when the length is below 255; else the byte 0xFF and a
//   u16 when the length is below 0xFFFE; else 0xFF, 0xFFFF and a u32.
// - on reading, a prefix of 0xFF 0xFFFE marks a wide string: its length (in
//   the same prefix form) counts UTF-16 code units, which follow little-endian;
//   they are converted to UTF-8.
// Narrow string bytes are kept as stored.
//
// Loading throws CArchiveException: BadSchema for a version the program does
// not know (thrown by the readers that check versions), EndOfFile when the data
// ends before a value, BadData for a value that cannot be right (a count that
// asks for more bytes than there are).

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class CArchiveException : public std::runtime_error {
public:
    enum Cause { BadSchema, EndOfFile, BadData };
    CArchiveException(Cause cause, const std::string& message) : std::runtime_error(message), m_Cause(cause) {}
    Cause m_Cause;
};

class CArchive {
public:
    // A storing archive that collects bytes in memory.
    CArchive();
    // A loading archive over bytes that stay owned by the caller and must
    // outlive the archive.
    CArchive(const unsigned char* data, std::size_t size);

    bool IsLoading() const { return m_Loading; }
    bool IsStoring() const { return !m_Loading; }

    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value);
    void WriteF64(double value);
    void WriteBytes(const void* bytes, std::size_t size);
    void WriteString(const std::string& text);

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32();
    double ReadF64();
    void ReadBytes(void* bytes, std::size_t size);
    std::vector<unsigned char> ReadByteVector(std::size_t size);
    std::string ReadString();
    void Skip(std::size_t size);

    // Throws BadData unless count items of at least bytesEach bytes can still
    // be there: call it before reserving or looping over a count from a file.
    void CheckCount(std::uint64_t count, std::size_t bytesEach) const;

    std::size_t GetPosition() const { return m_Position; }
    std::size_t GetRemaining() const;
    // What a storing archive has collected.
    const std::vector<unsigned char>& GetStored() const { return m_Stored; }

private:
    const unsigned char* Take(std::size_t size);
    std::size_t ReadLength();

    bool m_Loading;
    std::vector<unsigned char> m_Stored;
    const unsigned char* m_Data = nullptr;
    std::size_t m_Size = 0;
    std::size_t m_Position = 0;
};
