#pragma once
#include <cstddef>
#include <memory>
#include <optional>

#include "host/runtime/string.h"
#include "host/textbox/text_document.h"
#include "host/textbox/line_layout.h"
#include "host/textbox/text_editor.h"
#include "host/win32/automation_library.h"
#include "host/win32/clipboard_reader.h"
#include "host/win32/handles.h"
#include "host/win32/shaped_cache.h"
#include "host/win32/shaped_line.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// The window class of the host's own text box.
inline constexpr wchar_t kTextControlClass[] = L"QuillfenTextBox";

/// Registers the class once per process; later calls do nothing.
void RegisterTextControlClass();

/// The host's own multi-line text box for Windows: a view over a
/// TextDocument, which keeps the text exactly as written with CR LF as its
/// only line break. It never wraps, paints only the lines in view and of a
/// long line only the part in view, and answers the messages of a
/// multi-line edit control that other programs and assistive technology
/// send to a text box.
///
/// The object belongs to its window: made when the window is created,
/// deleted when it is destroyed.
class TextControl final : private TextDocumentObserver, private TextBoxSurface {
 public:
  /// Pixels between each side of the client area and the text.
  static constexpr int kMargin = 3;

  /// The control behind a window of this class; null for any other window.
  static TextControl* From(HWND window);

  TextDocument& Document() { return document_; }
  const TextDocument& Document() const { return document_; }
  HWND Handle() const { return window_; }

  /// Replaces the whole text and forgets the undo history, caret at the
  /// start, as WM_SETTEXT does: the parent hears of it through no EN_CHANGE.
  void ResetText(String text);

  // The edit commands of the keyboard and the context menu.
  void Cut();
  void Copy();
  void Paste();

  /// The context menu as a right click shows it, its items enabled as they
  /// apply now; the caller destroys it.
  HMENU CreateContextMenu();
  /// Carries out an item of the context menu.
  void RunMenuCommand(UINT command);

  // Where things are drawn, in client coordinates at the present scroll.
  POINT PointAt(std::size_t position) const;
  std::size_t PositionAt(POINT point) const;
  int LineHeight() const { return line_height_; }
  std::size_t TopLine() const { return top_line_; }
  int Left() const { return left_; }
  /// Scrolls so that `position` is in view.
  void ShowPosition(std::size_t position);
  /// Where the text is laid out, in client coordinates: the formatting
  /// rectangle that EM_GETRECT answers.
  RECT TextArea() const;

 private:
  friend void RegisterTextControlClass();

  explicit TextControl(HWND window);
  ~TextControl() override;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);

  void TextChanged(std::size_t position) override;
  void SelectionChanged() override;
  void Notify(WORD code);

  // text_control.cpp: font and focus.
  void SetFont(HFONT font, bool redraw);
  ShapedLine::Fonts LineFonts() const;
  void FocusIn();
  void FocusOut();
  void MakeCaret();
  void PlaceCaret();

  /// Lays the text out in `area` (offsets to the present one if
  /// `relative`), or in the default area when none is given.
  void SetTextArea(const RECT* area, bool relative, bool redraw);

  // text_control_scroll.cpp
  struct BarState {
    int max = -1;  // never set
    int page = 0;
    int position = 0;
    bool operator==(const BarState&) const = default;
  };
  void SetBar(int bar, const BarState& state);
  int VisibleLines() const;
  int ContentWidth();
  void UpdateScrollBars();
  void ScrollTo(std::ptrdiff_t line, std::ptrdiff_t left);
  void OnScroll(int bar, WORD request);

  // TextBoxSurface
  std::size_t PageLines() const override;
  void ScrollBy(std::ptrdiff_t lines, double pixels) override;
  std::size_t WheelLines() const override;
  double WheelPixels() const override;
  bool WriteClipboard(StringView text) override;
  std::optional<String> ReadClipboard(Clipboard which) override;
  void PasteRefused(std::size_t units) override;
  /// The text of a finished read, or nothing once a refusal has been told.
  std::optional<String> Accept(ClipboardReader::Result result);
  void OnClipboardRead();

  // text_control_paint.cpp
  void Paint();
  /// Paints `area` of the client area into `dc`, as WM_PAINT and WM_PRINTCLIENT ask.
  void PaintArea(HDC dc, const RECT& area);
  void PaintLine(HDC dc, std::size_t line, int top, const RECT& text_area);

  // text_control_keys.cpp
  bool OnKeyDown(WPARAM key);
  void OnChar(char16_t unit);
  LRESULT OnGetDlgCode(const MSG* message);

  // text_control_mouse.cpp
  void OnButtonDown(POINT point, bool extend, int clicks);
  void OnMouseMove(POINT point);
  void OnButtonUp();
  void OnDragTimer();
  void OnContextMenu(LPARAM screen_point);

  // text_control_ime.cpp
  void PlaceComposition();
  bool OnComposition(LPARAM parts);

  // text_control_messages.cpp: WM_SETTEXT, WM_GETTEXT and the EM_ family.
  std::optional<LRESULT> OnEditMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // text_control_accessible.cpp
  LRESULT OnGetObject(WPARAM flags, LPARAM object);
  /// Tells UI Automation's clients of a change, if any listen.
  void RaiseAutomationEvent(EVENTID event);

  HWND window_;
  TextDocument document_;
  TextEditor editor_;
  MemoryDc measure_dc_;  // holds the font while characters are measured
  ShapedCache shapes_;   // shaped in measure_dc_, which outlives it
  std::unique_ptr<LineLayout> layouts_;  // over the document's geometry of the font
  HFONT font_ = nullptr;  // the parent's, not owned
  UniqueFont mark_font_;
  int line_height_ = 1;
  int ascent_ = 0;
  int average_advance_ = 1;
  std::size_t top_line_ = 0;
  int left_ = 0;
  BarState vertical_bar_;
  BarState horizontal_bar_;
  std::optional<RECT> format_rect_;  // set by EM_SETRECT; else the client area less the margins
  bool focused_ = false;
  bool setting_text_ = false;
  POINT drag_point_{};
  AutomationLibrary automation_;
  ClipboardReader clipboard_;
};

}  // namespace host::win32
