#pragma once
#include <cmath>

#include "host/design/design.h"

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

/// A rectangle in whole pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

/// A design rectangle in pixels at `x_dpi` by `y_dpi`; a negative size
/// becomes zero.
inline PixelRect TwipsToPixels(const TwipRect& rect, int x_dpi, int y_dpi) {
  return PixelRect{.left = TwipsToPixels(static_cast<float>(rect.left), x_dpi),
                   .top = TwipsToPixels(static_cast<float>(rect.top), y_dpi),
                   .width = TwipsToPixels(static_cast<float>(rect.width), x_dpi, true),
                   .height = TwipsToPixels(static_cast<float>(rect.height), y_dpi, true)};
}

}  // namespace host
