#include "host/win32/shaped_line.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "host/textbox/text_navigation.h"
#include "host/win32/handles.h"
#include "host/win32/wide_text.h"

namespace host::win32 {
namespace {

int MarkWidth(HDC dc, HFONT font, std::string_view mark) {
  const std::wstring name(mark.begin(), mark.end());
  const Selected font_in(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
  return size.cx + kMarkPadding;
}

}  // namespace

ShapedLine::ShapedLine(HDC dc, const Fonts& fonts, StringView text, double start_x, Levels levels)
    : size_(text.size()) {
  std::vector<SCRIPT_STRING_ANALYSIS> shaped;
  runs_ = PlaceRuns(
      text, start_x,
      {.text = [&](const LineRun& run) {
         shaped.push_back(nullptr);
         return Shape(dc, fonts, text, run, shaped.back());
       },
       .mark = [&](std::string_view mark) { return MarkWidth(dc, fonts.mark, mark); },
       .tab_width = fonts.tab_width,
       .whole_pixels = true},
      levels);
  auto next = shaped.begin();
  for (const PlacedRun& placed : runs_) {
    analyses_.push_back(placed.run.kind == Kind::kText ? *next++ : nullptr);
    width_ = static_cast<int>(placed.x + placed.width);
  }
}

ShapedLine::~ShapedLine() {
  for (SCRIPT_STRING_ANALYSIS& analysis : analyses_) {
    if (analysis != nullptr) ScriptStringFree(&analysis);
  }
}

int ShapedLine::Shape(HDC dc, const Fonts& fonts, StringView text, const LineRun& run,
                      SCRIPT_STRING_ANALYSIS& analysis) {
  const int length = static_cast<int>(run.end - run.begin);
  const Selected font_in(dc, fonts.text);
  SCRIPT_CONTROL control{};
  // A run holds one level, so the direction it is laid out in is the whole
  // of its order.
  const bool right_to_left = (run.level & 1) != 0;
  SCRIPT_STATE state{};
  state.uBidiLevel = right_to_left ? 1 : 0;
  const DWORD flags = SSA_GLYPHS | SSA_FALLBACK | SSA_BREAK | (right_to_left ? SSA_RTL : 0);
  const HRESULT result = ScriptStringAnalyse(dc, AsWide(text.data() + run.begin), length, length * 3 / 2 + 16, -1,
                                             flags, 0, &control, &state, nullptr, nullptr, nullptr, &analysis);
  if (SUCCEEDED(result)) return ScriptString_pSize(analysis)->cx;
  // Unshaped, the run still takes its room.
  analysis = nullptr;
  SIZE size{};
  GetTextExtentPoint32W(dc, AsWide(text.data() + run.begin), length, &size);
  return size.cx;
}

ShapedLine::Piece ShapedLine::PieceOf(std::size_t index) const {
  const PlacedRun& placed = runs_[index];
  return {placed.run, static_cast<int>(placed.width), analyses_[index]};
}

double ShapedLine::X(std::size_t run, std::size_t offset) const {
  const Piece piece = PieceOf(run);
  offset = std::clamp(offset, piece.run.begin, piece.run.end);
  if (piece.analysis == nullptr) {
    // A marked character or a tab reads in the direction of its level.
    const bool after = offset > piece.run.begin;
    return after != ((piece.run.level & 1) != 0) ? piece.width : 0;
  }
  // Before a character its leading edge, at the end the last one's trailing
  // edge: where a right-to-left run puts them is the processor's to say.
  int x = 0;
  if (offset < piece.run.end) {
    ScriptStringCPtoX(piece.analysis, static_cast<int>(offset - piece.run.begin), FALSE, &x);
  } else {
    ScriptStringCPtoX(piece.analysis, static_cast<int>(piece.run.end - piece.run.begin) - 1, TRUE, &x);
  }
  return x;
}

std::size_t ShapedLine::Nearest(std::size_t run, double x) const {
  const Piece piece = PieceOf(run);
  const auto pixel = static_cast<int>(std::lround(x));
  if (piece.run.kind != Kind::kText || piece.analysis == nullptr) {
    const bool left_half = pixel < piece.width / 2;
    return left_half != ((piece.run.level & 1) != 0) ? piece.run.begin : piece.run.end;
  }
  int character = 0;
  int trailing = 0;
  ScriptStringXtoCP(piece.analysis, pixel, &character, &trailing);
  const auto length = static_cast<int>(piece.run.end - piece.run.begin);
  auto position = static_cast<std::size_t>(std::clamp(character + trailing, 0, length));
  while (!IsClusterBoundary(piece.run.begin + position)) --position;
  return piece.run.begin + position;
}

bool ShapedLine::IsClusterBoundary(std::size_t offset) const {
  if (offset == 0 || offset >= size_) return true;
  const Piece piece = PieceOf(RunHolding(runs_, offset));
  if (offset == piece.run.begin || piece.analysis == nullptr) {
    return offset == piece.run.begin || offset == piece.run.end;
  }
  const SCRIPT_LOGATTR* attributes = ScriptString_pLogAttr(piece.analysis);
  return attributes == nullptr || attributes[offset - piece.run.begin].fCharStop;
}

void ShapedLine::Draw(HDC dc, std::size_t run, int left, int top, std::size_t selected_from,
                      std::size_t selected_to, const LineStyle& style) const {
  const Selected font_in(dc, style.text_font);
  SetBkMode(dc, TRANSPARENT);
  const Piece piece = PieceOf(run);
  const std::size_t from = std::clamp(selected_from, piece.run.begin, piece.run.end);
  const std::size_t to = std::clamp(selected_to, piece.run.begin, piece.run.end);
  const RECT cell{left, top, left + piece.width, top + style.line_height};
  if (piece.run.kind == Kind::kMark) {
    PaintMark(dc, piece.run.mark, cell, from < to, style);
  } else if (piece.run.kind == Kind::kTab || piece.analysis == nullptr) {
    if (from < to) FillSolid(dc, cell, style.selected_background);
  } else {
    // The processor draws the selection itself, glyph by glyph in visual
    // order, in the system's selection colours.
    SetTextColor(dc, style.text);
    const int first = from < to ? static_cast<int>(from - piece.run.begin) : 0;
    const int last = from < to ? static_cast<int>(to - piece.run.begin) : 0;
    ScriptStringOut(piece.analysis, left, top, 0, nullptr, first, last, FALSE);
  }
}

}  // namespace host::win32
