// Any text as one long line of a text box: its bidi levels are one per unit
// and order every unit once, and, laid out a screen at a time, its runs
// tile the line and stand still; nothing else may happen.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "host/textbox/bidi_levels.h"
#include "tests/host/textbox/cell_surface.h"

namespace {

// Long enough for several segments and stretches of a line from a short
// input, short enough for many runs a second; screens of many segments.
constexpr std::size_t kLineUnits = 9'000;
constexpr double kScreen = 20'000;

void Require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  host::String units;
  for (std::size_t i = 0; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  if (units.empty()) return 0;
  host::String line;
  while (line.size() < kLineUnits) line += units;
  const std::vector<std::uint8_t> levels = host::BidiLevels(line);
  Require(levels.size() == line.size());
  std::vector<std::size_t> order = host::VisualOrder(levels);
  std::sort(order.begin(), order.end());
  for (std::size_t i = 0; i < order.size(); ++i) Require(order[i] == i);
  const host::testing_surface::Reading reading = host::testing_surface::ReadScreenByScreen(line, kScreen);
  Require(reading.ended && reading.steady && reading.tiled && reading.order.size() == line.size());
  return 0;
}
