#include "core/ColourText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string FormatColourHash(std::uint32_t colour) {
    static const char kDigits[] = "0123456789ABCDEF";
    const unsigned red = colour & 0xFF;
    const unsigned green = (colour >> 8) & 0xFF;
    const unsigned blue = (colour >> 16) & 0xFF;
    std::string text = "#";
    for (unsigned component : {red, green, blue}) {
        text += kDigits[component >> 4];
        text += kDigits[component & 0xF];
    }
    return text;
}

bool ParseColourHash(const char* text, std::uint32_t& colour) {
    if (text == nullptr || text[0] != '#' || std::strlen(text) != 7)
        return false;
    // Every one of the six must be a hex digit: reading "as far as the digits
    // go" would take "#12345G" for the colour 0x012345.
    std::uint32_t number = 0;
    for (int i = 1; i < 7; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0)
            return false;
        number = (number << 4) | static_cast<std::uint32_t>(digit);
    }
    const std::uint32_t red = (number >> 16) & 0xFF;
    const std::uint32_t green = (number >> 8) & 0xFF;
    const std::uint32_t blue = number & 0xFF;
    colour = red | (green << 8) | (blue << 16);
    return true;
}

float RgbToHsv(float& hue, float& saturation, float red, float green, float blue, float& value) {
    const float max = std::max({red, green, blue});
    const float min = std::min({red, green, blue});
    const float chroma = max - min;
    value = max;
    if (max == 0.0f) {
        saturation = 0.0f;
        hue = -1.0f;
        return chroma;
    }
    saturation = chroma / max;
    if (chroma == 0.0f) {
        hue = 0.0f;
        return chroma;
    }
    float h;
    if (red == max)
        h = (green - blue) / chroma;
    else if (green == max)
        h = 2.0f + (blue - red) / chroma;
    else
        h = 4.0f + (red - green) / chroma;
    h *= 60.0f;
    if (h < 0.0f)
        h += 360.0f;
    hue = h;
    return chroma;
}

bool IsColourSimilar(std::uint32_t a, std::uint32_t b, float chromaThreshold, float hueTolerance) {
    auto toHsv = [](std::uint32_t colour, float& h, float& s, float& v) {
        const float r = static_cast<float>(colour & 0xFF) / 255.0f;
        const float g = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
        const float bl = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
        return RgbToHsv(h, s, r, g, bl, v);
    };
    float h1 = 0, s1 = 0, v1 = 0, h2 = 0, s2 = 0, v2 = 0;
    const float c1 = toHsv(a, h1, s1, v1);
    const float c2 = toHsv(b, h2, s2, v2);
    if (c1 >= chromaThreshold || c2 >= chromaThreshold) {
        float hueDifference = std::fabs(h1 - h2);
        // Hue is an angle: red at 359 degrees and red at 1 degree are 2 apart,
        // not 358. Black's hue of -1 means "no hue" and is left as it is.
        if (h1 >= 0.0f && h2 >= 0.0f && hueDifference > 180.0f)
            hueDifference = 360.0f - hueDifference;
        // std::trunc is the whole-degree cut without an int conversion that a
        // huge or NaN tolerance would make undefined.
        return hueDifference < std::trunc(hueTolerance) && std::fabs(s1 - s2) < 0.2f;
    }
    return std::fabs(v1 - v2) < 0.1f;
}
