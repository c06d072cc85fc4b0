#include "host/textbox/control_marks.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "host/textbox/code_points.h"

namespace host {
namespace {

constexpr std::array<std::string_view, 32> kC0 = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

constexpr std::string_view kSurrogate = "SUR";

}  // namespace

std::string_view ControlMark(char32_t character) {
  if (character < kC0.size()) return character == U'\t' ? std::string_view() : kC0[character];
  if (character == 0x7F) return "DEL";
  if (character >= 0x80 && character <= 0x9F) return "C1";
  if (character == 0x2028) return "LS";
  if (character == 0x2029) return "PS";
  if (character >= 0xD800 && character <= 0xDFFF) return kSurrogate;
  return {};
}

std::vector<LineRun> LineRuns(StringView text, Levels levels) {
  auto level = [&](std::size_t at) -> std::uint8_t { return levels.empty() ? 0 : levels[at]; };
  std::vector<LineRun> runs;
  std::size_t run = 0;  // where the current text run starts
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint character = CodePointAt(text, at);
    const std::size_t next = at + character.units;
    const std::string_view mark = ControlMark(character.value);
    if (mark.empty() && character.value != U'\t') {
      if (run != at && level(at) != level(run)) {
        runs.push_back({LineRun::Kind::kText, run, at, {}, level(run)});
        run = at;
      }
      at = next;
      continue;
    }
    if (run != at) runs.push_back({LineRun::Kind::kText, run, at, {}, level(run)});
    runs.push_back({mark.empty() ? LineRun::Kind::kTab : LineRun::Kind::kMark, at, next, mark, level(at)});
    at = run = next;
  }
  if (run != text.size()) runs.push_back({LineRun::Kind::kText, run, text.size(), {}, level(run)});
  return runs;
}

double TabAdvance(double x, double tab_width) { return (std::floor(x / tab_width) + 1) * tab_width - x; }

std::vector<PlacedRun> PlaceRuns(StringView text, double start_x, const RunMeasures& measures, Levels levels) {
  std::vector<PlacedRun> placed;
  double x = 0;
  for (const LineRun& run : LineRuns(text, levels)) {
    double width = 0;
    switch (run.kind) {
      case LineRun::Kind::kText: width = measures.text(run); break;
      case LineRun::Kind::kMark: width = measures.mark(run.mark); break;
      case LineRun::Kind::kTab:
        width = TabAdvance(start_x + x, measures.tab_width);
        if (measures.whole_pixels) width = std::round(start_x + x + width) - std::round(start_x + x);
        break;
    }
    placed.push_back({run, x, width});
    x += width;
  }
  return placed;
}

std::size_t RunHolding(const std::vector<PlacedRun>& runs, std::size_t offset) {
  const auto after = std::upper_bound(runs.begin(), runs.end(), offset,
                                      [](std::size_t at, const PlacedRun& placed) { return at < placed.run.begin; });
  return after == runs.begin() ? 0 : static_cast<std::size_t>(after - runs.begin() - 1);
}

}  // namespace host
