#include "host/win32/text_control.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>
#include <string_view>
#include <utility>

#include "host/textbox/control_marks.h"
#include "host/win32/clipboard.h"
#include "host/win32/line_painter.h"
#include "host/win32/paste_refusal.h"
#include "host/win32/shaped_line.h"
#include "host/win32/win32_error.h"

namespace host::win32 {
namespace {

constexpr double kTabCells = 8;         // tab stops, in average character widths
constexpr double kMarkFontScale = 0.7;  // control marks are drawn smaller than the text
constexpr int kSelfSlot = 0;            // the window's extra bytes hold the object
// Posted by the clipboard's reader; the private range, as EM_ messages use WM_USER's.
constexpr UINT kClipboardRead = WM_APP + 1;
// How long a paste waits for the clipboard before it returns, to finish
// when the text comes. An ordinary paste is done well within it, so that a
// program sending WM_PASTE finds the text pasted when the call returns, as
// with the edit control; a paste that takes longer never holds the window
// much more than this.
constexpr std::chrono::milliseconds kPasteWait{500};

// As the system's edit control: text crosses the clipboard exactly as it
// is, a double click takes the word with the blanks after it, and there is
// no line selection by a triple click and no Redo in the menu.
constexpr TextBoxConventions kConventions{
    .paste_makes_crlf = false,
    .copy_makes_lf = false,
    .click_series = 2,
    .word_takes_trailing_blanks = true,
    .menu_has_redo = false,
    .whole_pixels = true,
};

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// A mouse message's point, whose coordinates are signed 16-bit numbers.
POINT PointOf(LPARAM lparam) {
  return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

UniqueFont ScaledFont(HFONT font, double scale) {
  LOGFONTW description{};
  if (GetObjectW(font, sizeof description, &description) == 0) return nullptr;
  description.lfHeight = static_cast<LONG>(std::lround(description.lfHeight * scale));
  if (description.lfHeight == 0) description.lfHeight = -1;
  return UniqueFont(CreateFontIndirectW(&description));
}

// The advance of one character: the text font's, or a control mark's box.
double Measure(HDC dc, HFONT text_font, HFONT mark_font, char32_t character) {
  const std::string_view mark = ControlMark(character);
  SIZE size{};
  if (!mark.empty()) {
    const std::wstring name(mark.begin(), mark.end());
    const Selected font(dc, mark_font);
    GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
    return size.cx + kMarkPadding;
  }
  const Selected font(dc, text_font);
  if (character < 0x10000) {
    const wchar_t unit = static_cast<wchar_t>(character);
    GetTextExtentPoint32W(dc, &unit, 1, &size);
  } else {
    const char32_t offset = character - 0x10000;
    const wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + (offset >> 10)),
                             static_cast<wchar_t>(0xDC00 + (offset & 0x3FF))};
    GetTextExtentPoint32W(dc, pair, 2, &size);
  }
  return size.cx;
}

}  // namespace

void RegisterTextControlClass() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(Instance(), kTextControlClass, &existing)) return;
  const WNDCLASSEXW window_class{
      .cbSize = sizeof(WNDCLASSEXW),
      .style = CS_DBLCLKS,
      .lpfnWndProc = &TextControl::WindowProc,
      .cbClsExtra = 0,
      .cbWndExtra = sizeof(TextControl*),
      .hInstance = Instance(),
      .hIcon = nullptr,
      .hCursor = LoadCursorW(nullptr, IDC_IBEAM),
      .hbrBackground = nullptr,  // every pixel is painted
      .lpszMenuName = nullptr,
      .lpszClassName = kTextControlClass,
      .hIconSm = nullptr,
  };
  CheckWin32(RegisterClassExW(&window_class), "register the text box class");
}

TextControl* TextControl::From(HWND window) {
  wchar_t name[std::size(kTextControlClass) + 1] = {};
  if (window == nullptr || GetClassNameW(window, name, static_cast<int>(std::size(name))) == 0) return nullptr;
  if (std::wstring_view(name) != kTextControlClass) return nullptr;
  return reinterpret_cast<TextControl*>(GetWindowLongPtrW(window, kSelfSlot));
}

TextControl::TextControl(HWND window)
    : window_(window), editor_(document_, *this, kConventions), clipboard_(window, kClipboardRead) {
  document_.SetObserver(this);
  // Lines are placed as the script processor lays them out (SetFont makes
  // the layouts); the fonts are read at each call, as WM_SETFONT may
  // change them.
  document_.SetClusterBoundary([this](StringView line, std::size_t offset, bool forward) {
    return ClusterStep(shapes_, measure_dc_.Get(), LineFonts(), line, offset, forward);
  });
  document_.SetPlacement({
      .x = [this](std::size_t start, StringView line, std::size_t offset) { return layouts_->X(start, line, offset); },
      .nearest = [this](std::size_t start, StringView line, double x) { return layouts_->Nearest(start, line, x); },
  });
  SetFont(nullptr, false);
}

ShapedLine::Fonts TextControl::LineFonts() const {
  return {.text = font_,
          .mark = mark_font_ != nullptr ? mark_font_.get() : font_,
          .tab_width = kTabCells * average_advance_};
}

TextControl::~TextControl() { document_.SetObserver(nullptr); }

LRESULT CALLBACK TextControl::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  auto* self = reinterpret_cast<TextControl*>(GetWindowLongPtrW(window, kSelfSlot));
  if (message == WM_NCCREATE) {
    try {
      self = new TextControl(window);
    } catch (...) {
      return FALSE;  // the window is not created
    }
    SetWindowLongPtrW(window, kSelfSlot, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, kSelfSlot, 0);
    delete self;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  // Nothing may unwind through the system's code. An edit that runs out of
  // memory leaves the text as it was; the user hears it refused.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (const std::bad_alloc&) {
    self->Notify(EN_ERRSPACE);  // as the edit control tells its parent
    MessageBeep(MB_ICONWARNING);
    return 0;
  } catch (...) {
    MessageBeep(MB_ICONWARNING);
    return 0;
  }
}

LRESULT TextControl::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window_, message, wparam, lparam);
}

LRESULT TextControl::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (const std::optional<LRESULT> answer = OnEditMessage(message, wparam, lparam)) return *answer;
  switch (message) {
    case WM_CREATE: {
      // The text a window is created with is its first text, as in the edit control.
      const auto* text = reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpszName;
      if (text != nullptr) ResetText(String(reinterpret_cast<const char16_t*>(text)));
      return 0;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_PRINTCLIENT: {
      RECT client{};
      GetClientRect(window_, &client);
      PaintArea(reinterpret_cast<HDC>(wparam), client);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      format_rect_.reset();  // as the edit control, which lays out in the new client area
      UpdateScrollBars();
      ShowPosition(document_.Caret());
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wparam), LOWORD(lparam) != 0);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETFOCUS:
      FocusIn();
      return 0;
    case WM_KILLFOCUS:
      FocusOut();
      return 0;
    case WM_VSCROLL:
      OnScroll(SB_VERT, LOWORD(wparam));
      return 0;
    case WM_HSCROLL:
      OnScroll(SB_HORZ, LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      editor_.Wheel(0, GET_WHEEL_DELTA_WPARAM(wparam), (GET_KEYSTATE_WPARAM(wparam) & MK_SHIFT) != 0);
      return 0;
    case WM_MOUSEHWHEEL:
      // A tilt to the right comes positive and scrolls right.
      editor_.Wheel(-GET_WHEEL_DELTA_WPARAM(wparam), 0, false);
      return 0;
    case WM_KEYDOWN:
      return OnKeyDown(wparam) ? 0 : Default(message, wparam, lparam);
    case WM_CHAR:
      OnChar(static_cast<char16_t>(wparam));
      return 0;
    case WM_UNICHAR:
      if (wparam == UNICODE_NOCHAR) return TRUE;
      if (wparam >= 0x10000) {
        const auto offset = static_cast<char32_t>(wparam - 0x10000);
        const char16_t pair[2] = {static_cast<char16_t>(0xD800 + (offset >> 10)),
                                  static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
        document_.Type(StringView(pair, 2));
      } else {
        OnChar(static_cast<char16_t>(wparam));
      }
      return FALSE;
    case WM_GETDLGCODE:
      return OnGetDlgCode(reinterpret_cast<const MSG*>(lparam));
    case WM_LBUTTONDOWN:
      OnButtonDown(PointOf(lparam), (wparam & MK_SHIFT) != 0, 1);
      return 0;
    case WM_LBUTTONDBLCLK:  // the second press of a double click
      OnButtonDown(PointOf(lparam), (wparam & MK_SHIFT) != 0, 2);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(PointOf(lparam));
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != window_) OnButtonUp();
      return 0;
    case WM_TIMER:
      OnDragTimer();
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenu(lparam);
      return 0;
    case WM_IME_STARTCOMPOSITION:
      PlaceComposition();
      return Default(message, wparam, lparam);
    case WM_IME_COMPOSITION:
      return OnComposition(lparam) ? 0 : Default(message, wparam, lparam);
    case kClipboardRead:
      OnClipboardRead();
      return 0;
    case WM_SYSCOLORCHANGE:
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

void TextControl::SetFont(HFONT font, bool redraw) {
  shapes_.Clear();  // a new font may come under an old one's handle
  font_ = font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  UniqueFont marks = ScaledFont(font_, kMarkFontScale);
  mark_font_ = marks != nullptr ? std::move(marks) : UniqueFont();
  HFONT mark_font = mark_font_ != nullptr ? mark_font_.get() : font_;
  TEXTMETRICW metrics{};
  {
    const Selected selected(measure_dc_.Get(), font_);
    GetTextMetricsW(measure_dc_.Get(), &metrics);
  }
  line_height_ = std::max<int>(1, metrics.tmHeight);
  ascent_ = metrics.tmAscent;
  average_advance_ = std::max<int>(1, metrics.tmAveCharWidth);
  HDC dc = measure_dc_.Get();
  HFONT text_font = font_;
  document_.SetMeasure([dc, text_font, mark_font](char32_t c) { return Measure(dc, text_font, mark_font, c); },
                       kTabCells * average_advance_);
  // Measured in the measuring context, with the fonts of the moment.
  layouts_ = std::make_unique<LineLayout>(
      document_.Geometry(), CutRules{},
      [this](StringView text, double start_x, Levels levels) {
        return std::make_unique<ShapedLine>(measure_dc_.Get(), LineFonts(), text, start_x, levels);
      },
      kConventions);
  if (focused_) MakeCaret();  // of the new line height
  UpdateScrollBars();
  if (redraw) InvalidateRect(window_, nullptr, FALSE);
}

void TextControl::MakeCaret() {
  DWORD caret_width = 1;
  SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &caret_width, 0);
  // A new caret replaces the thread's old one.
  CreateCaret(window_, nullptr, static_cast<int>(std::max<DWORD>(1, caret_width)), line_height_);
  PlaceCaret();
  ShowCaret(window_);
}

void TextControl::FocusIn() {
  focused_ = true;
  MakeCaret();
  InvalidateRect(window_, nullptr, FALSE);
  Notify(EN_SETFOCUS);
}

void TextControl::FocusOut() {
  focused_ = false;
  OnButtonUp();
  DestroyCaret();
  InvalidateRect(window_, nullptr, FALSE);
  Notify(EN_KILLFOCUS);
}

void TextControl::PlaceCaret() {
  if (!focused_) return;
  const POINT at = PointAt(document_.Caret());
  SetCaretPos(at.x, at.y);
  // Said again for systems whose caret does not say it, so magnifiers follow.
  NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, window_, OBJID_CARET, CHILDID_SELF);
}

RECT TextControl::TextArea() const {
  if (format_rect_) return *format_rect_;
  RECT client{};
  GetClientRect(window_, &client);
  return RECT{kMargin, 0, std::max<LONG>(kMargin, client.right - kMargin), client.bottom};
}

void TextControl::SetTextArea(const RECT* area, bool relative, bool redraw) {
  if (area == nullptr) {
    format_rect_.reset();
  } else {
    RECT given = *area;
    if (relative) {
      const RECT now = TextArea();
      given = RECT{now.left + area->left, now.top + area->top, now.right + area->right, now.bottom + area->bottom};
    }
    given.right = std::max(given.right, given.left);
    given.bottom = std::max(given.bottom, given.top);
    format_rect_ = given;
  }
  UpdateScrollBars();
  ShowPosition(document_.Caret());
  if (redraw) InvalidateRect(window_, nullptr, FALSE);
}

POINT TextControl::PointAt(std::size_t position) const {
  position = std::min(position, document_.Size());
  const RECT area = TextArea();
  const double row = static_cast<double>(document_.LineOf(position)) - static_cast<double>(top_line_);
  const double x = std::round(document_.X(position)) + area.left - left_;
  // Far outside the window a point only needs to stay outside it.
  constexpr double kFar = 1 << 30;
  return POINT{static_cast<LONG>(std::clamp(x, -kFar, kFar)),
               static_cast<LONG>(std::clamp(area.top + row * line_height_, -kFar, kFar))};
}

std::size_t TextControl::PositionAt(POINT point) const {
  const RECT area = TextArea();
  const auto row = static_cast<std::ptrdiff_t>(std::floor(static_cast<double>(point.y - area.top) / line_height_));
  const auto last = static_cast<std::ptrdiff_t>(document_.LineCount()) - 1;
  const auto line = std::clamp(static_cast<std::ptrdiff_t>(top_line_) + row, std::ptrdiff_t{0}, last);
  return document_.PositionAt(static_cast<std::size_t>(line), static_cast<double>(point.x) + left_ - area.left);
}

void TextControl::TextChanged(std::size_t position) {
  layouts_->Invalidate(position);
  editor_.TextChanged();
  UpdateScrollBars();
  ShowPosition(document_.Caret());
  InvalidateRect(window_, nullptr, FALSE);
  if (!setting_text_) Notify(EN_CHANGE);
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
  RaiseAutomationEvent(automation::kTextChangedEvent);
}

void TextControl::SelectionChanged() {
  ShowPosition(document_.Caret());
  InvalidateRect(window_, nullptr, FALSE);
  NotifyWinEvent(EVENT_OBJECT_TEXTSELECTIONCHANGED, window_, OBJID_CLIENT, CHILDID_SELF);
  RaiseAutomationEvent(automation::kTextSelectionChangedEvent);
}

void TextControl::Notify(WORD code) {
  HWND parent = GetParent(window_);
  if (parent == nullptr) return;
  const auto id = static_cast<WORD>(GetDlgCtrlID(window_));
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window_));
}

void TextControl::ResetText(String text) {
  // No EN_CHANGE while the text is set, whether or not setting it succeeds.
  struct Restore {
    bool& flag;
    bool value;
    ~Restore() { flag = value; }
  } const restore{setting_text_, std::exchange(setting_text_, true)};
  // As the system's edit control does, a set text empties the undo
  // history: the text replaced is not kept.
  document_.ResetText(std::move(text));
}

void TextControl::Copy() { editor_.Run(Command::kCopy); }

void TextControl::Cut() { editor_.Run(Command::kCut); }

void TextControl::Paste() { editor_.Run(Command::kPaste); }

bool TextControl::WriteClipboard(StringView text) {
  if (PutClipboardText(window_, text)) return true;
  MessageBeep(MB_ICONWARNING);
  return false;
}

// As the edit control, which tells its parent when a paste does not fit;
// the user is told the size in a message of the top-level window.
void TextControl::PasteRefused(std::size_t units) {
  Notify(EN_ERRSPACE);
  ShowPasteRefused(window_, units);
}

// Windows has no primary selection: only the clipboard is ever asked for.
// A paste while another is in flight is dropped, as a second press of the
// key would paste the same text twice.
std::optional<String> TextControl::ReadClipboard(Clipboard) {
  if (!clipboard_.Start(document_.Size())) return std::nullopt;
  std::optional<ClipboardReader::Result> result = clipboard_.Take(kPasteWait);
  if (!result) return std::nullopt;  // pasted when the read is done
  return Accept(std::move(*result));
}

std::optional<String> TextControl::Accept(ClipboardReader::Result result) {
  // Refused before any copying; the clipboard is closed again.
  if (result.refused_units != 0) PasteRefused(result.refused_units);
  return std::move(result.text);
}

void TextControl::OnClipboardRead() {
  // A read already taken by the paste that waited for it gives nothing here.
  std::optional<ClipboardReader::Result> result = clipboard_.Take();
  if (!result) return;
  if (std::optional<String> text = Accept(std::move(*result))) editor_.PasteText(std::move(*text));
}

}  // namespace host::win32
