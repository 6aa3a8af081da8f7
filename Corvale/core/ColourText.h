#pragma once
// Colours as text and colour similarity.
//
// Colours are COLORREFs: 32-bit, red in the low byte, then green, then blue,
// the top byte 0. Their text form is "#" and six upper-case hexadecimal
// digits, red, green, blue ("#FF8000"); attribute-driven styles read it from
// attribute columns and exports write it.

#include <cstdint>
#include <string>

// "#RRGGBB" of the colour's red, green and blue; the top byte is ignored.
std::string FormatColourHash(std::uint32_t colour);

// Reads "#" and exactly six hexadecimal digits (either case). False, with the
// colour untouched, for a null text and for anything else.
bool ParseColourHash(const char* text, std::uint32_t& colour);

// Hue (degrees 0 to below 360; -1 for black), saturation and value of red,
// green and blue given from 0 to 1; returns the chroma (max - min). Single
// precision throughout, as the raster tracing that calls it per pixel needs.
float RgbToHsv(float& hue, float& saturation, float red, float green, float blue, float& value);

// Whether two colours look alike. When either has a chroma of at least the
// threshold, the hues must differ by less than the tolerance cut to whole
// degrees (measured round the colour circle, so 359 and 1 are 2 apart) and
// the saturations by less than 0.2; two greyish colours (both chromas below
// the threshold) must differ in value by less than 0.1.
bool IsColourSimilar(std::uint32_t a, std::uint32_t b, float chromaThreshold, float hueTolerance);
