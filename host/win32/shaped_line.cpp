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

ShapedLine::ShapedLine(HDC dc, const Fonts& fonts, StringView text) : size_(text.size()) {
  for (const LineRun& run : LineRuns(text)) {
    if (run.kind == LineRun::Kind::kText) {
      AddText(dc, fonts, text, run.begin, run.end);
      continue;
    }
    Piece piece;
    piece.kind = run.kind;
    piece.begin = run.begin;
    piece.end = run.end;
    piece.x = width_;
    piece.mark = run.mark;
    piece.width = run.kind == LineRun::Kind::kTab
                      ? static_cast<int>(std::lround(width_ + TabAdvance(width_, fonts.tab_width))) - width_
                      : MarkWidth(dc, fonts.mark, run.mark);
    width_ += piece.width;
    pieces_.push_back(piece);
  }
}

ShapedLine::~ShapedLine() {
  for (Piece& piece : pieces_) {
    if (piece.analysis != nullptr) ScriptStringFree(&piece.analysis);
  }
}

void ShapedLine::AddText(HDC dc, const Fonts& fonts, StringView text, std::size_t begin, std::size_t end) {
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
