#pragma once
// Screen units: positions and sizes are given in twips, 15 to a pixel.
namespace vb {
constexpr int TwipsPerPixel = 15;
constexpr int toPx(int twips) { return twips / TwipsPerPixel; }
constexpr int toTwips(int px) { return px * TwipsPerPixel; }
}  // namespace vb
