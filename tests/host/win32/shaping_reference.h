#pragma once
// The script processor's own layout of a text, for tests that compare the
// text box against it.
#include <algorithm>
#include <vector>

#include "host/runtime/string.h"
#include "host/win32/text_control.h"
#include "host/win32/wide_text.h"
#include "host/win32/windows_api.h"

#include <usp10.h>

#include <gtest/gtest.h>

namespace host::win32 {

/// A text control alone in a shown popup of `Width` x `Height` pixels, made
/// for each test and gone after it, and the font it draws with.
template <int Width, int Height>
class PopupControlTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = Width;
  static constexpr int kHeight = Height;

  void SetUp() override {
    RegisterTextControlClass();
    window_ = CreateWindowExW(0, kTextControlClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    control_ = TextControl::From(window_);
    ASSERT_NE(control_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)); }
  HFONT BoxFont() const {
    const HFONT font = Font();
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }

  HWND window_ = nullptr;
  TextControl* control_ = nullptr;
};

// The processor's analysis of `text` in `font`, freed with it.
class Reference {
 public:
  Reference(HDC dc, HFONT font, StringView text) : length_(static_cast<int>(text.size())) {
    SelectObject(dc, font);
    SCRIPT_CONTROL control{};
    SCRIPT_STATE state{};
    EXPECT_EQ(ScriptStringAnalyse(dc, AsWide(text.data()), length_, length_ * 3 / 2 + 16, -1,
                                  SSA_GLYPHS | SSA_FALLBACK | SSA_BREAK, 0, &control, &state, nullptr, nullptr, nullptr,
                                  &analysis_),
              S_OK);
  }
  ~Reference() { ScriptStringFree(&analysis_); }

  SCRIPT_STRING_ANALYSIS Get() const { return analysis_; }
  bool IsStop(int position) const {
    return position == 0 || position == length_ || ScriptString_pLogAttr(analysis_)[position].fCharStop;
  }
  // The caret's x before `position`, as the processor places it.
  int X(int position) const {
    int x = 0;
    if (position < length_) {
      ScriptStringCPtoX(analysis_, position, FALSE, &x);
    } else {
      ScriptStringCPtoX(analysis_, length_ - 1, TRUE, &x);
    }
    return x;
  }
  // The caret position a click at `x` gives: the nearer edge of the
  // character hit, kept off the inside of a cluster.
  int Hit(int x) const {
    int character = 0;
    int trailing = 0;
    ScriptStringXtoCP(analysis_, x, &character, &trailing);
    int position = std::clamp(character + trailing, 0, length_);
    while (!IsStop(position)) --position;
    return position;
  }
  int Width() const { return ScriptString_pSize(analysis_)->cx; }

 private:
  int length_;
  SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

// The box's pixels, copied from its window after a paint.
inline std::vector<COLORREF> Pixels(HDC source, int width, int height) {
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(memory, x, y));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

}  // namespace host::win32
