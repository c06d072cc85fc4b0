// The Windows text box beside the system's edit control, in one process, on
// the texts users paste: a converted 10 MB JSON (about a million short
// lines) and the same JSON as one line; then Convert through the program's
// own window. Run by hand, under Windows or Wine:
//   win32_text_box_bench.exe [--large]
// --large adds a Convert of 100 MB. The cross build has no Google Benchmark,
// so this program times itself: the median of a few runs, in milliseconds,
// and the edit control's time over the text box's.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/json_sample.h"
#include "convert/json_format.h"
#include "host/objects/backend.h"
#include "host/runtime/utf8.h"
#include "host/win32/handles.h"
#include "host/win32/text_control.h"
#include "host/win32/win32_backend.h"
#include "host/win32/win32_window.h"
#include "window/design.h"

namespace {

using host::String;
using host::win32::kTextControlClass;

constexpr std::size_t kJsonBytes = 10'000'000;
constexpr std::size_t kLargeJsonBytes = 100'000'000;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kBoxRuns = 5;
constexpr int kEditRuns = 1;  // tens of seconds each under Wine
constexpr wchar_t kHostClass[] = L"QuillfenBenchHost";

double Milliseconds(const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(int runs, const std::function<double()>& run) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(run());
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The top-level window the boxes are shown in.
host::win32::UniqueWindow Host() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kHostClass;
  RegisterClassExW(&window_class);
  return host::win32::UniqueWindow(CreateWindowExW(0, kHostClass, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                                   kWidth + 40, kHeight + 60, nullptr, nullptr,
                                                   GetModuleHandleW(nullptr), nullptr));
}

void Pump() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A multi-line box of `window_class` with both scroll bars, as the program's.
host::win32::UniqueWindow Box(HWND host, const wchar_t* window_class) {
  host::win32::UniqueWindow box(CreateWindowExW(
      WS_EX_CLIENTEDGE, window_class, L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
      0, 0, kWidth, kHeight, host, nullptr, GetModuleHandleW(nullptr), nullptr));
  SendMessageW(box.get(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageW(box.get(), EM_SETLIMITTEXT, 0, 0);
  Pump();
  return box;
}

// WM_SETTEXT and the paint that shows the text.
double SetAndPaint(HWND host, const wchar_t* window_class, const String& text, int runs) {
  const host::win32::UniqueWindow box = Box(host, window_class);
  return Median(runs, [&] {
    SendMessageW(box.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Pump();
    return Milliseconds([&] {
      SendMessageW(box.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      InvalidateRect(box.get(), nullptr, TRUE);
      UpdateWindow(box.get());
      GdiFlush();
    });
  });
}

// One key typed at the end of the text, and the paint that shows it.
double TypeAtEnd(HWND host, const wchar_t* window_class, const String& text, int runs) {
  const host::win32::UniqueWindow box = Box(host, window_class);
  SendMessageW(box.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SetFocus(box.get());
  SendMessageW(box.get(), EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendMessageW(box.get(), EM_SETSEL, text.size(), text.size());
  SendMessageW(box.get(), EM_SCROLLCARET, 0, 0);
  UpdateWindow(box.get());
  return Median(runs, [&] {
    return Milliseconds([&] {
      SendMessageW(box.get(), WM_CHAR, L'a', 1);
      UpdateWindow(box.get());
      GdiFlush();
    });
  });
}

// The view painted again, nothing changed: what every step above pays for
// showing its result.
double Repaint(HWND host, const wchar_t* window_class, const String& text, int runs) {
  const host::win32::UniqueWindow box = Box(host, window_class);
  SendMessageW(box.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(box.get());
  return Median(runs, [&] {
    return Milliseconds([&] {
      InvalidateRect(box.get(), nullptr, TRUE);
      UpdateWindow(box.get());
      GdiFlush();
    });
  });
}

void Report(const char* name, double box, double edit) {
  std::printf("%-34s box %10.1f ms   edit %10.1f ms   edit/box %8.1fx\n", name, box, edit, edit / box);
  std::fflush(stdout);
}

class NoEvents final : public host::EventSink {
 public:
  void Raise(std::string_view, host::Event) override {}
};

// What pressing Convert does in the program's own window: Inputs read,
// converted, written to Outputs, and Outputs painted.
void ConvertInTheWindow(std::size_t bytes) {
  host::win32::Win32Backend backend;
  NoEvents events;
  auto& window = static_cast<host::win32::Win32Window&>(backend.CreateWindow(window::kJSONfrmDesign, events));
  window.Show();
  Pump();
  host::Ref<host::TextBox> inputs;
  host::Ref<host::TextBox> outputs;
  window.GetTextBox("Inputs", inputs);
  window.GetTextBox("Outputs", outputs);
  const String json = host::Utf8ToUtf16(bench::MinifiedJson(bytes));
  if (inputs->PutText(json) != host::kOk) {
    std::printf("Convert %zu MB: Inputs refused the text\n", bytes / 1'000'000);
    return;
  }
  HWND outputs_window = GetDlgItem(window.Handle(), 1);
  for (int run = 0; run < 2; ++run) {
    host::Status status = host::kOk;
    const double ms = Milliseconds([&] {
      String input;
      status = inputs->GetText(input);
      if (status != host::kOk) return;
      try {
        status = outputs->PutText(convert::JSONFormat(input));
      } catch (const std::bad_alloc&) {
        status = host::kOutOfMemory;
      }
      UpdateWindow(outputs_window);
      GdiFlush();
    });
    std::printf("Convert %3zu MB in the window (%s run)   %10.1f ms  %s\n", bytes / 1'000'000,
                run == 0 ? "first" : "second", ms, status == host::kOk ? "" : "(out of memory reported)");
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool large = argc > 1 && std::strcmp(argv[1], "--large") == 0;
  host::win32::RegisterTextControlClass();
  const String line = host::Utf8ToUtf16(bench::MinifiedJson(kJsonBytes));
  const String converted = convert::JSONFormat(line);
  const double format_ms = Median(kBoxRuns, [&] { return Milliseconds([&] { (void)convert::JSONFormat(line); }); });
  std::printf("JSONFormat of the 10 MB JSON alone             %10.1f ms\n", format_ms);

  {
    const host::win32::UniqueWindow host = Host();
    const double json_box = SetAndPaint(host.get(), kTextControlClass, converted, kBoxRuns);
    Report("set text + paint, converted JSON", json_box, SetAndPaint(host.get(), WC_EDITW, converted, kEditRuns));
    const double line_box = SetAndPaint(host.get(), kTextControlClass, line, kBoxRuns);
    Report("set text + paint, one 10 MB line", line_box, SetAndPaint(host.get(), WC_EDITW, line, kEditRuns));
    Report("repaint, converted JSON", Repaint(host.get(), kTextControlClass, converted, kBoxRuns),
           Repaint(host.get(), WC_EDITW, converted, kEditRuns));
    Report("type at the end of the 10 MB line", TypeAtEnd(host.get(), kTextControlClass, line, kBoxRuns),
           TypeAtEnd(host.get(), WC_EDITW, line, kEditRuns));
  }

  ConvertInTheWindow(kJsonBytes);
  if (large) ConvertInTheWindow(kLargeJsonBytes);
  return 0;
}
