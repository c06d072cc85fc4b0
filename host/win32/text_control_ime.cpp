// Input methods in a TextControl: the system's composition window is put
// at the caret in the box's font, and the text composed is inserted as
// typed text.
#include "host/textbox/line_breaks.h"
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

// The input context of a window, for a scope.
class InputContext {
 public:
  explicit InputContext(HWND window) : window_(window), context_(ImmGetContext(window)) {}
  InputContext(const InputContext&) = delete;
  InputContext& operator=(const InputContext&) = delete;
  ~InputContext() {
    if (context_ != nullptr) ImmReleaseContext(window_, context_);
  }
  HIMC Get() const { return context_; }

 private:
  HWND window_;
  HIMC context_;
};

}  // namespace

void TextControl::PlaceComposition() {
  const InputContext context(window_);
  if (context.Get() == nullptr) return;
  LOGFONTW font{};
  if (GetObjectW(font_, sizeof font, &font) != 0) ImmSetCompositionFontW(context.Get(), &font);
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = PointAt(document_.Caret());
  ImmSetCompositionWindow(context.Get(), &form);
}

bool TextControl::OnComposition(LPARAM parts) {
  if ((parts & GCS_RESULTSTR) == 0) return false;
  const InputContext context(window_);
  if (context.Get() == nullptr) return false;
  const LONG bytes = ImmGetCompositionStringW(context.Get(), GCS_RESULTSTR, nullptr, 0);
  if (bytes > 0) {
    String result(static_cast<std::size_t>(bytes) / sizeof(char16_t), u'\0');
    ImmGetCompositionStringW(context.Get(), GCS_RESULTSTR, result.data(), static_cast<DWORD>(bytes));
    // One edit for the whole result, as the user typed it.
    document_.Type(ToCrLf(result));
  }
  PlaceComposition();
  // What is still being composed is the system's to show; the result is
  // not handed on, or it would come again as characters.
  const LPARAM rest = parts & ~(GCS_RESULTSTR | GCS_RESULTREADSTR | GCS_RESULTCLAUSE | GCS_RESULTREADCLAUSE);
  if (rest != 0) DefWindowProcW(window_, WM_IME_COMPOSITION, 0, rest);
  return true;
}

}  // namespace host::win32
