#include "host/win32/win32_window.h"

#include <algorithm>

#include "host/objects/twips.h"
#include "host/win32/wide_text.h"
#include "host/win32/win32_error.h"

namespace host::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillfenWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The dialog manager steps into the controls of a control parent.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr WORD kIconResource = 1;
constexpr int kFailureExitStatus = 1;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(Instance(), kWindowClass, &existing)) return;
  // Without the icon resource the system's own application icon is used.
  HICON icon = LoadIconW(Instance(), MAKEINTRESOURCEW(kIconResource));
  const WNDCLASSEXW window_class{
      .cbSize = sizeof(WNDCLASSEXW),
      .style = 0,
      .lpfnWndProc = procedure,
      .cbClsExtra = 0,
      .cbWndExtra = 0,
      .hInstance = Instance(),
      .hIcon = icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION),
      .hCursor = LoadCursorW(nullptr, IDC_ARROW),
      .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
      .lpszMenuName = nullptr,
      .lpszClassName = kWindowClass,
      .hIconSm = nullptr,
  };
  CheckWin32(RegisterClassExW(&window_class), "register the window class");
}

// The platform's default font for controls: the one message boxes use.
UniqueFont MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  CheckWin32(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0),
             "read the system's message font");
  return UniqueFont(CheckWin32(CreateFontIndirectW(&metrics.lfMessageFont),
                               "create the message font"));
}

struct Placement {
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = 0;
  int height = 0;
};

// The outer rectangle whose client area has the design's size, placed as
// the start-up position says.
Placement PlaceWindow(const WindowDesign& design, Dpi dpi) {
  const PixelRect client = ToPixels(design.client, dpi);
  RECT frame{0, 0, client.width, client.height};
  CheckWin32(AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle),
             "compute the window's frame");
  Placement placement{.width = frame.right - frame.left, .height = frame.bottom - frame.top};
  switch (design.start_up_position) {
    case StartUpPosition::kDefault:
      break;
    case StartUpPosition::kManual:
      placement.x = client.left + frame.left;
      placement.y = client.top + frame.top;
      break;
    case StartUpPosition::kOwner:  // a top-level window has no owner
    case StartUpPosition::kScreen: {
      RECT work{};
      CheckWin32(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0), "read the work area");
      placement.x = work.left + (work.right - work.left - placement.width) / 2;
      placement.y = work.top + (work.bottom - work.top - placement.height) / 2;
      break;
    }
  }
  return placement;
}

}  // namespace

Win32Window::Win32Window(const WindowDesign& design, EventSink& events)
    : name_(design.name), events_(events), dpi_(ScreenDpi()), font_(MessageFont()) {
  RegisterWindowClass(&Win32Window::WindowProc);
  const Placement placement = PlaceWindow(design, dpi_);
  const std::wstring caption = Widen(design.caption);
  window_.reset(CheckWin32(
      CreateWindowExW(kWindowExStyle, kWindowClass, caption.c_str(), kWindowStyle, placement.x,
                      placement.y, placement.width, placement.height, nullptr, nullptr, Instance(),
                      this),
      "create the window " + name_));
  CreateControls(design);
}

Win32Window::~Win32Window() {
  // Messages sent while the window is destroyed find no object any more.
  if (handle_ != nullptr) SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  window_.reset();
}

void Win32Window::CreateControls(const WindowDesign& design) {
  std::vector<const ControlDesign*> order;
  for (const ControlDesign& control : design.controls) {
    if (control.kind != ControlKind::kWindow) order.push_back(&control);
  }
  // Creation order is z-order, and the dialog manager tabs through the
  // controls in z-order: create them by tab index. Labels come last so that
  // the boxes they reach into are drawn over them.
  std::stable_sort(order.begin(), order.end(), [](const ControlDesign* a, const ControlDesign* b) {
    const bool a_label = a->kind == ControlKind::kLabel;
    const bool b_label = b->kind == ControlKind::kLabel;
    if (a_label != b_label) return b_label;
    return a->tab_index < b->tab_index;
  });
  for (const ControlDesign* control : order) {
    switch (control->kind) {
      case ControlKind::kTextBox:
        text_boxes_.push_back(std::make_unique<Win32TextBox>(*control, handle_, dpi_, font_.get()));
        break;
      case ControlKind::kCommandButton:
        buttons_.push_back(Button{CreateChild(WC_BUTTONW, *control, WS_TABSTOP | BS_PUSHBUTTON),
                                  std::string(control->name)});
        break;
      case ControlKind::kLabel:
        CreateChild(WC_STATICW, *control, SS_LEFT);
        break;
      case ControlKind::kWindow:
        break;
    }
  }
}

HWND Win32Window::CreateChild(const wchar_t* window_class, const ControlDesign& control,
                              DWORD style) {
  const PixelRect rect = ToPixels(control.rect, dpi_);
  const std::wstring caption = Widen(control.caption);
  HWND child = CheckWin32(
      CreateWindowExW(0, window_class, caption.c_str(),
                      WS_CHILD | WS_VISIBLE | WS_GROUP | WS_CLIPSIBLINGS | style, rect.left,
                      rect.top, rect.width, rect.height, handle_,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control.id)), Instance(),
                      nullptr),
      "create the control " + std::string(control.name));
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return child;
}

// One extent of the outer (GetWindowRect) or client (GetClientRect)
// rectangle, in twips.
Status Win32Window::ReadExtent(BOOL(WINAPI* read)(HWND, RECT*), bool vertical, float& twips) {
  RECT rect{};
  if (!read(handle_, &rect)) return LastErrorStatus();
  twips = vertical ? PixelsToTwips(rect.bottom - rect.top, dpi_.y)
                   : PixelsToTwips(rect.right - rect.left, dpi_.x);
  return kOk;
}

Status Win32Window::GetHeight(float& twips) { return ReadExtent(&GetWindowRect, true, twips); }

Status Win32Window::GetWidth(float& twips) { return ReadExtent(&GetWindowRect, false, twips); }

Status Win32Window::GetScaleHeight(float& twips) { return ReadExtent(&GetClientRect, true, twips); }

Status Win32Window::GetScaleWidth(float& twips) { return ReadExtent(&GetClientRect, false, twips); }

Status Win32Window::GetWindowState(std::int16_t& state) {
  WindowState value = WindowState::kNormal;
  if (IsIconic(handle_)) {
    value = WindowState::kMinimized;
  } else if (IsZoomed(handle_)) {
    value = WindowState::kMaximized;
  }
  state = static_cast<std::int16_t>(value);
  return kOk;
}

Status Win32Window::GetTextBox(std::string_view name, Ref<TextBox>& box) {
  for (const auto& candidate : text_boxes_) {
    if (candidate->Name() == name) {
      box = Ref<TextBox>(candidate.get());
      return kOk;
    }
  }
  return kInvalidArgument;
}

void Win32Window::Show() {
  // The size changes while the window is being shown are all delivered as
  // the one Resize below, from the state the window ends up in.
  ShowWindow(handle_, SW_SHOWDEFAULT);
  UpdateWindow(handle_);
  RestoreFocus();
  shown_ = true;
  Raise(name_, Event::kResize);
}

void Win32Window::Raise(std::string_view control, Event event) {
  if (!events_stopped_) events_.Raise(control, event);
}

void Win32Window::RememberFocus() {
  HWND focused = GetFocus();
  if (focused != nullptr && IsChild(handle_, focused)) focus_ = focused;
}

void Win32Window::RestoreFocus() {
  if (focus_ == nullptr || !IsChild(handle_, focus_)) {
    focus_ = GetNextDlgTabItem(handle_, nullptr, FALSE);
  }
  if (focus_ != nullptr) SetFocus(focus_);
}

const std::string* Win32Window::ButtonName(HWND control) const {
  for (const Button& button : buttons_) {
    if (button.handle == control) return &button.name;
  }
  return nullptr;
}

bool Win32Window::PreTranslate(MSG& message) {
  if (message.hwnd != handle_ && !IsChild(handle_, message.hwnd)) return false;
  if (message.message == WM_KEYDOWN) {
    switch (message.wParam) {
      case VK_ESCAPE:
        // The window has no cancel button. The dialog manager would send
        // the command of control 2 (a button here) and a multi-line box
        // would close the window; Escape does neither.
        return true;
      case VK_RETURN:
        if (ButtonName(message.hwnd) != nullptr) {
          SendMessageW(message.hwnd, BM_CLICK, 0, 0);
          return true;
        }
        break;
      default:
        break;
    }
  }
  return IsDialogMessageW(handle_, &message) != FALSE;
}

LRESULT CALLBACK Win32Window::WindowProc(HWND window, UINT message, WPARAM wparam,
                                         LPARAM lparam) noexcept {
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Win32Window*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  // Nothing may unwind through the system's code: what escapes is kept for
  // the event loop, which ends and hands it on.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    self->failure_ = std::current_exception();
    self->events_stopped_ = true;
    PostQuitMessage(kFailureExitStatus);
    return 0;
  }
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (shown_) Raise(name_, Event::kResize);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        if (const std::string* button = ButtonName(reinterpret_cast<HWND>(lparam))) {
          Raise(*button, Event::kClick);
        }
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // A plain window would take the focus itself; give it back to the
      // control that had it, as a dialog does.
      if (LOWORD(wparam) == WA_INACTIVE) {
        RememberFocus();
      } else if (HIWORD(wparam) == 0) {
        RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_NEXTDLGCTL: {
      // A multi-line box asks its parent for the next control on Tab.
      HWND next = LOWORD(lparam) != 0 ? reinterpret_cast<HWND>(wparam)
                                      : GetNextDlgTabItem(handle_, GetFocus(), wparam != 0);
      if (next != nullptr) {
        SetFocus(next);
        focus_ = next;
      }
      return 0;
    }
    case WM_DESTROY:
      events_stopped_ = true;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(handle_, message, wparam, lparam);
}

}  // namespace host::win32
