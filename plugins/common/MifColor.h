#pragma once
// MIF and MID files write a colour as one number, R * 65536 + G * 256 + B,
// while the program keeps red in the low byte (0x00BBGGRR). Both directions
// swap red and blue and drop the top byte.

#include <cstdint>

namespace mifcolor {

inline std::uint32_t SwapRedBlue(std::uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline std::uint32_t MifToProgram(std::uint32_t mif) { return SwapRedBlue(mif); }
inline std::uint32_t ProgramToMif(std::uint32_t color) { return SwapRedBlue(color); }

} // namespace mifcolor
