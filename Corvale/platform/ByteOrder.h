#pragma once
// Reading and writing integers and doubles at arbitrary byte addresses.
//
// Shape records and file headers keep their doubles at offsets that are not
// 8-aligned, and mix big- and little-endian words. Everything that touches
// such bytes goes through these helpers: they copy with memcpy, so no
// misaligned pointer is ever dereferenced, and they state the byte order of
// the file rather than relying on the machine's.

#include <cstdint>
#include <cstring>

namespace corvale {

inline std::uint32_t ByteSwap32(std::uint32_t v) {
    return ((v & 0x000000FFu) << 24) | ((v & 0x0000FF00u) << 8) | ((v & 0x00FF0000u) >> 8) |
           ((v & 0xFF000000u) >> 24);
}

inline std::uint64_t ByteSwap64(std::uint64_t v) {
    return (static_cast<std::uint64_t>(ByteSwap32(static_cast<std::uint32_t>(v))) << 32) |
           ByteSwap32(static_cast<std::uint32_t>(v >> 32));
}

constexpr bool kHostIsLittleEndian =
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    false;
#else
    true;
#endif

inline std::uint16_t ReadLE16(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

inline std::uint32_t ReadLE32(const void* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return kHostIsLittleEndian ? v : ByteSwap32(v);
}

inline std::uint32_t ReadBE32(const void* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return kHostIsLittleEndian ? ByteSwap32(v) : v;
}

inline double ReadLEDouble(const void* p) {
    std::uint64_t bits;
    std::memcpy(&bits, p, sizeof bits);
    if (!kHostIsLittleEndian)
        bits = ByteSwap64(bits);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

inline void WriteLE16(void* p, std::uint16_t v) {
    auto* b = static_cast<unsigned char*>(p);
    b[0] = static_cast<unsigned char>(v & 0xFF);
    b[1] = static_cast<unsigned char>(v >> 8);
}

inline void WriteLE32(void* p, std::uint32_t v) {
    if (!kHostIsLittleEndian)
        v = ByteSwap32(v);
    std::memcpy(p, &v, sizeof v);
}

inline void WriteBE32(void* p, std::uint32_t v) {
    if (kHostIsLittleEndian)
        v = ByteSwap32(v);
    std::memcpy(p, &v, sizeof v);
}

inline void WriteLEDouble(void* p, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    if (!kHostIsLittleEndian)
        bits = ByteSwap64(bits);
    std::memcpy(p, &bits, sizeof bits);
}

} // namespace corvale
