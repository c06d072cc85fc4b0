#include "host/win32/shaped_line.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "host/textbox/code_points.h"
#include "host/textbox/control_marks.h"
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

ShapedLine::ShapedLine(HDC dc, const Fonts& fonts, StringView text) : size_(text.size()) {
  std::size_t run = 0;
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint character = CodePointAt(text, at);
    const std::size_t next = at + character.units;
    const std::string_view mark = ControlMark(character.value);
    if (mark.empty() && character.value != U'\t') {
      at = next;
      continue;
    }
    AddText(dc, fonts, text, run, at);
    Piece piece;
    piece.kind = mark.empty() ? Kind::kTab : Kind::kMark;
    piece.begin = at;
    piece.end = next;
    piece.x = width_;
    if (mark.empty()) {
      const double stop = (std::floor(width_ / fonts.tab_width) + 1) * fonts.tab_width;
      piece.width = static_cast<int>(std::lround(stop)) - width_;
    } else {
      piece.mark = mark;
      piece.width = MarkWidth(dc, fonts.mark, mark);
    }
    width_ += piece.width;
    pieces_.push_back(piece);
    at = run = next;
  }
  AddText(dc, fonts, text, run, text.size());
}

ShapedLine::~ShapedLine() {
  for (Piece& piece : pieces_) {
    if (piece.analysis != nullptr) ScriptStringFree(&piece.analysis);
  }
}

void ShapedLine::AddText(HDC dc, const Fonts& fonts, StringView text, std::size_t begin, std::size_t end) {
  if (begin == end) return;
  Piece piece;
  piece.begin = begin;
  piece.end = end;
  piece.x = width_;
  const int length = static_cast<int>(end - begin);
  const Selected font_in(dc, fonts.text);
  SCRIPT_CONTROL control{};
  SCRIPT_STATE state{};  // a left-to-right paragraph
  const HRESULT result = ScriptStringAnalyse(dc, AsWide(text.data() + begin), length, length * 3 / 2 + 16, -1,
                                             SSA_GLYPHS | SSA_FALLBACK | SSA_BREAK, 0, &control, &state, nullptr, nullptr,
                                             nullptr, &piece.analysis);
  if (SUCCEEDED(result)) {
    piece.width = ScriptString_pSize(piece.analysis)->cx;
  } else {
    // Unshaped, the run still takes its room.
    piece.analysis = nullptr;
    SIZE size{};
    GetTextExtentPoint32W(dc, AsWide(text.data() + begin), length, &size);
    piece.width = size.cx;
  }
  width_ += piece.width;
  pieces_.push_back(piece);
}

const ShapedLine::Piece& ShapedLine::PieceAt(std::size_t offset) const {
  const auto after = std::upper_bound(pieces_.begin(), pieces_.end(), offset,
                                      [](std::size_t at, const Piece& piece) { return at < piece.begin; });
  return after == pieces_.begin() ? pieces_.front() : *(after - 1);
}

int ShapedLine::X(std::size_t offset) const {
  if (pieces_.empty()) return 0;
  offset = std::min(offset, size_);
  const Piece& piece = PieceAt(offset);
  if (piece.analysis == nullptr) return offset <= piece.begin ? piece.x : piece.x + piece.width;
  // Before a character its leading edge, at the end the last one's trailing
  // edge: where a right-to-left run puts them is the processor's to say.
  int x = 0;
  if (offset < piece.end) {
    ScriptStringCPtoX(piece.analysis, static_cast<int>(offset - piece.begin), FALSE, &x);
  } else {
    ScriptStringCPtoX(piece.analysis, static_cast<int>(piece.end - piece.begin) - 1, TRUE, &x);
  }
  return piece.x + x;
}

std::size_t ShapedLine::Nearest(int x) const {
  if (pieces_.empty()) return 0;
  const auto after = std::upper_bound(pieces_.begin(), pieces_.end(), x,
                                      [](int at, const Piece& piece) { return at < piece.x; });
  const Piece& piece = after == pieces_.begin() ? pieces_.front() : *(after - 1);
  if (piece.kind != Kind::kText || piece.analysis == nullptr) {
    return x - piece.x < piece.width / 2 ? piece.begin : piece.end;
  }
  int character = 0;
  int trailing = 0;
  ScriptStringXtoCP(piece.analysis, x - piece.x, &character, &trailing);
  const auto length = static_cast<int>(piece.end - piece.begin);
  auto position = static_cast<std::size_t>(std::clamp(character + trailing, 0, length));
  while (!IsClusterBoundary(piece.begin + position)) --position;
  return piece.begin + position;
}

bool ShapedLine::IsClusterBoundary(std::size_t offset) const {
  if (offset == 0 || offset >= size_) return true;
  const Piece& piece = PieceAt(offset);
  if (offset == piece.begin || piece.analysis == nullptr) return offset == piece.begin || offset == piece.end;
  const SCRIPT_LOGATTR* attributes = ScriptString_pLogAttr(piece.analysis);
  return attributes == nullptr || attributes[offset - piece.begin].fCharStop;
}

void ShapedLine::Draw(HDC dc, int left, int top, std::size_t selected_from, std::size_t selected_to,
                      const LineStyle& style) const {
  const Selected font_in(dc, style.text_font);
  SetBkMode(dc, TRANSPARENT);
  for (const Piece& piece : pieces_) {
    const std::size_t from = std::clamp(selected_from, piece.begin, piece.end);
    const std::size_t to = std::clamp(selected_to, piece.begin, piece.end);
    const RECT cell{left + piece.x, top, left + piece.x + piece.width, top + style.line_height};
    if (piece.kind == Kind::kMark) {
      PaintMark(dc, piece.mark, cell, from < to, style);
    } else if (piece.kind == Kind::kTab || piece.analysis == nullptr) {
      if (from < to) FillSolid(dc, cell, style.selected_background);
    } else {
      // The processor draws the selection itself, glyph by glyph in visual
      // order, in the system's selection colours.
      SetTextColor(dc, style.text);
      const int first = from < to ? static_cast<int>(from - piece.begin) : 0;
      const int last = from < to ? static_cast<int>(to - piece.begin) : 0;
      ScriptStringOut(piece.analysis, left + piece.x, top, 0, nullptr, first, last, FALSE);
    }
  }
}

}  // namespace host::win32
