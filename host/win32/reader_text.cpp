#include "host/win32/reader_text.h"

#include <algorithm>
#include <vector>

#include "host/design/labels.h"
#include "host/textbox/reader_units.h"
#include "host/win32/text_control.h"
#include "host/win32/wide_text.h"

namespace host::win32 {
namespace {

TwipRect RectIn(HWND parent, HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

std::wstring LabelText(HWND box) {
  const HWND parent = GetParent(box);
  std::vector<ControlDesign> labels;
  std::vector<HWND> windows;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[8] = {};
    if (!IsWindowVisible(child) || GetClassNameW(child, name, 8) == 0 || lstrcmpiW(name, WC_STATICW) != 0) continue;
    labels.push_back({.kind = ControlKind::kLabel, .rect = RectIn(parent, child)});
    windows.push_back(child);
  }
  const ControlDesign* label = LabelOf(labels, {.kind = ControlKind::kTextBox, .rect = RectIn(parent, box)});
  return label != nullptr ? WindowText(windows[static_cast<std::size_t>(label - labels.data())]) : std::wstring();
}

std::wstring ReaderValue(HWND box) {
  const TextControl* control = TextControl::From(box);
  if (control == nullptr) return {};
  const String value = host::ReaderValue(control->Document().Text());
  return std::wstring(AsWide(value.data()), value.size());
}

}  // namespace host::win32
