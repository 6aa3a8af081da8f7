#include "platform/Archive.h"

#include "platform/ByteOrder.h"

#include <cstring>

using namespace corvale;

CArchive::CArchive() : m_Loading(false) {}

CArchive::CArchive(const unsigned char* data, std::size_t size) : m_Loading(true), m_Data(data), m_Size(size) {}

void CArchive::WriteU8(std::uint8_t value) { m_Stored.push_back(value); }

void CArchive::WriteU16(std::uint16_t value) {
    unsigned char b[2];
    WriteLE16(b, value);
    WriteBytes(b, 2);
}

void CArchive::WriteU32(std::uint32_t value) {
    unsigned char b[4];
    WriteLE32(b, value);
    WriteBytes(b, 4);
}

void CArchive::WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }

void CArchive::WriteF64(double value) {
    unsigned char b[8];
    WriteLEDouble(b, value);
    WriteBytes(b, 8);
}

void CArchive::WriteBytes(const void* bytes, std::size_t size) {
    if (size == 0)
        return;
    const auto* p = static_cast<const unsigned char*>(bytes);
    m_Stored.insert(m_Stored.end(), p, p + size);
}

void CArchive::WriteString(const std::string& text) {
    const std::size_t length = text.size();
    if (length < 0xFF) {
        WriteU8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<std::uint16_t>(length));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<std::uint32_t>(length));
    }
    WriteBytes(text.data(), length);
}

std::size_t CArchive::GetRemaining() const { return m_Size - m_Position; }

const unsigned char* CArchive::Take(std::size_t size) {
    if (!m_Loading)
        throw std::logic_error("reading from a storing archive");
    if (size > GetRemaining())
        throw CArchiveException(CArchiveException::EndOfFile, "The file ends before its data is complete.");
    const unsigned char* p = m_Data + m_Position;
    m_Position += size;
    return p;
}

std::uint8_t CArchive::ReadU8() { return *Take(1); }
std::uint16_t CArchive::ReadU16() { return ReadLE16(Take(2)); }
std::uint32_t CArchive::ReadU32() { return ReadLE32(Take(4)); }
std::int32_t CArchive::ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
double CArchive::ReadF64() { return ReadLEDouble(Take(8)); }

void CArchive::ReadBytes(void* bytes, std::size_t size) {
    const unsigned char* p = Take(size);
    if (size > 0)
        std::memcpy(bytes, p, size);
}

std::vector<unsigned char> CArchive::ReadByteVector(std::size_t size) {
    const unsigned char* p = Take(size);
    return std::vector<unsigned char>(p, p + size);
}

void CArchive::Skip(std::size_t size) { Take(size); }

void CArchive::CheckCount(std::uint64_t count, std::size_t bytesEach) const {
    if (bytesEach == 0)
        bytesEach = 1;
    if (count > GetRemaining() / bytesEach)
        throw CArchiveException(CArchiveException::BadData, "The file holds a count larger than its data.");
}

std::size_t CArchive::ReadLength() {
    const std::uint8_t first = ReadU8();
    if (first < 0xFF)
        return first;
    const std::uint16_t second = ReadU16();
    if (second < 0xFFFE)
        return second;
    if (second == 0xFFFF)
        return ReadU32();
    return static_cast<std::size_t>(-1); // the wide-string marker 0xFFFE
}

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::string CArchive::ReadString() {
    std::size_t length = ReadLength();
    if (length != static_cast<std::size_t>(-1)) {
        const unsigned char* p = Take(length);
        return std::string(reinterpret_cast<const char*>(p), length);
    }
    // Wide string: the real length follows in the same prefix form.
    length = ReadLength();
    if (length == static_cast<std::size_t>(-1))
        throw CArchiveException(CArchiveException::BadData, "The file holds a damaged string.");
    CheckCount(length, 2);
    const unsigned char* p = Take(2 * length);
    std::string text;
    text.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t unit = ReadLE16(p + 2 * i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length) {
            const std::uint32_t low = ReadLE16(p + 2 * (i + 1));
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        // A lone surrogate cannot be written in UTF-8; it becomes U+FFFD.
        if (unit >= 0xD800 && unit < 0xE000)
            unit = 0xFFFD;
        AppendUtf8(text, unit);
    }
    return text;
}
