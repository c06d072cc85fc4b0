#pragma once
#include <cmath>

namespace host {

inline constexpr float kTwipsPerInch = 1440;

/// Pixels for a twip value at `dpi` logical dots per inch, rounded to the
/// nearest pixel. A negative size has no meaning for a control; callers pass
/// `clamp_negative` for sizes, which then become zero.
inline int TwipsToPixels(float twips, int dpi, bool clamp_negative = false) {
  const float pixels = std::round(twips * static_cast<float>(dpi) / kTwipsPerInch);
  if (clamp_negative && pixels < 0) return 0;
  return static_cast<int>(pixels);
}

inline float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(pixels) * kTwipsPerInch / static_cast<float>(dpi);
}

}  // namespace host
