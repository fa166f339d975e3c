#pragma once

namespace kobin::rtf {

// RTF measures in twips; the editor in pixels at 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;
// Shading (\clshdng) is in hundredths of a percent.
constexpr int kFullShading = 10000;

} // namespace kobin::rtf
