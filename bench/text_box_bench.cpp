// The host's text box beside Qt's plain-text editor, in one process, on the
// texts users paste: a converted 10 MB JSON (about a million short lines),
// the same JSON as one line, and a converted 10 MB JSON of Arabic strings,
// as lines and as one line.
// Each benchmark of the text box reports its ratio to the matching editor
// benchmark, which runs first.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <malloc.h>

#include <chrono>
#include <map>
#include <memory>

#include "bench/json_sample.h"
#include "convert/json_format.h"
#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "host/runtime/utf8.h"

namespace {

using host::String;
using host::qt::TextView;

constexpr std::size_t kJsonBytes = 10'000'000;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A minified API response of about kJsonBytes bytes.
const String& MinifiedJson() {
  static const String json = host::Utf8ToUtf16(bench::MinifiedJson(kJsonBytes));
  return json;
}

const String& ConvertedJson() {
  static const String converted = convert::JSONFormat(MinifiedJson());
  return converted;
}


// The same Arabic JSON as one line, and one line of Arabic words alone: a
// right-to-left run as long as the line, ordered across its segments.
const String& MinifiedArabicJson() {
  static const String json = host::Utf8ToUtf16(bench::MinifiedArabicJson(kJsonBytes));
  return json;
}

const String& RightToLeftLine() {
  static const String line = [] {
    String words;
    while (words.size() < kJsonBytes / 2) words += u"\u0643\u0644\u0645\u0629 \u0639\u0631\u0628\u064A\u0629 ";
    return words;
  }();
  return line;
}

// The same with Arabic strings, which are shaped and reordered when shown.
const String& ConvertedArabicJson() {
  static const String converted = convert::JSONFormat(MinifiedArabicJson());
  return converted;
}

// Milliseconds per iteration of the editor's benchmarks, by case.
std::map<std::string, double>& EditorTimes() {
  static std::map<std::string, double> times;
  return times;
}

// Heap bytes in use, mapped blocks included.
long HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd);
}

template <class Widget>
std::unique_ptr<Widget> Shown() {
  auto widget = std::make_unique<Widget>();
  widget->resize(kWidth, kHeight);
  widget->show();
  QApplication::processEvents();
  return widget;
}

void PutEditorText(QPlainTextEdit& editor, const String& text) {
  // As the editor-based text box did: CR LF becomes the editor's block break.
  QString value = host::qt::ToQString(text);
  value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  editor.setPlainText(value);
}

void Press(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(&widget, &press);
}

// Runs `step` per iteration with manual timing, and reports milliseconds
// and, for the text box, the ratio to the editor.
template <class Step>
void Measure(benchmark::State& state, const std::string& name, bool editor, Step step) {
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());
    total += elapsed.count();
  }
  const double ms = 1000 * total / static_cast<double>(state.iterations());
  state.counters["ms"] = ms;
  if (editor) {
    EditorTimes()[name] = ms;
  } else if (const auto found = EditorTimes().find(name); found != EditorTimes().end()) {
    state.counters["x_faster"] = found->second / ms;
  }
}

void SetAndPaint(benchmark::State& state, const std::string& name, const String& text, bool editor) {
  if (editor) {
    auto widget = Shown<QPlainTextEdit>();
    Measure(state, name, true, [&] {
      PutEditorText(*widget, text);
      widget->viewport()->repaint();
    });
  } else {
    // What the box holds beyond the caller's copy of the text, against the
    // text's own UTF-16 size: measured on the first setting only.
    const long before = HeapBytes();
    auto widget = Shown<TextView>();
    widget->ReplaceAll(text);
    widget->viewport()->repaint();
    const double held = static_cast<double>(HeapBytes() - before);
    Measure(state, name, false, [&] {
      widget->ReplaceAll(text);
      widget->viewport()->repaint();
    });
    state.counters["lines"] = static_cast<double>(widget->LineCount());
    state.counters["memory_x"] = held / static_cast<double>(text.size() * sizeof(char16_t));
  }
}

void BM_SetJsonAndPaint_Editor(benchmark::State& state) { SetAndPaint(state, "json", ConvertedJson(), true); }
void BM_SetJsonAndPaint_TextBox(benchmark::State& state) { SetAndPaint(state, "json", ConvertedJson(), false); }
void BM_SetArabicJsonAndPaint_Editor(benchmark::State& state) {
  SetAndPaint(state, "arabic", ConvertedArabicJson(), true);
}
void BM_SetArabicJsonAndPaint_TextBox(benchmark::State& state) {
  SetAndPaint(state, "arabic", ConvertedArabicJson(), false);
}
void BM_SetLineAndPaint_Editor(benchmark::State& state) { SetAndPaint(state, "line", MinifiedJson(), true); }
void BM_SetLineAndPaint_TextBox(benchmark::State& state) { SetAndPaint(state, "line", MinifiedJson(), false); }
void BM_SetArabicLineAndPaint_TextBox(benchmark::State& state) {
  SetAndPaint(state, "arabic line", MinifiedArabicJson(), false);
}
void BM_SetRightToLeftLineAndPaint_TextBox(benchmark::State& state) {
  SetAndPaint(state, "right-to-left line", RightToLeftLine(), false);
}

// Interactions on a long line or a long text already shown; `prepare` runs
// untimed before each step.
template <class Widget, class Prepare, class Step>
void Interact(benchmark::State& state, const std::string& name, const String& text, Prepare prepare, Step step) {
  auto widget = Shown<Widget>();
  if constexpr (std::is_same_v<Widget, QPlainTextEdit>) {
    PutEditorText(*widget, text);
  } else {
    widget->ReplaceAll(text);
  }
  widget->setFocus();
  widget->viewport()->repaint();
  double total = 0;
  for (auto _ : state) {
    prepare(*widget);
    const auto start = std::chrono::steady_clock::now();
    step(*widget);
    widget->viewport()->repaint();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());
    total += elapsed.count();
  }
  const double ms = 1000 * total / static_cast<double>(state.iterations());
  state.counters["ms"] = ms;
  if constexpr (std::is_same_v<Widget, QPlainTextEdit>) {
    EditorTimes()[name] = ms;
  } else if (const auto found = EditorTimes().find(name); found != EditorTimes().end()) {
    state.counters["x_faster"] = found->second / ms;
  }
}

template <class Widget>
void BM_CaretToLineEnd(benchmark::State& state) {
  // The text box is given the line afresh each time, so that no position
  // measured before is known; the editor's single run is cold anyway.
  Interact<Widget>(state, "end", MinifiedJson(),
                   [](Widget& w) {
                     if constexpr (std::is_same_v<Widget, TextView>) w.ReplaceAll(MinifiedJson());
                     Press(w, Qt::Key_Home, Qt::ControlModifier);
                   },
                   [](Widget& w) { Press(w, Qt::Key_End); });
}

template <class Widget>
void BM_TypeAtLineEnd(benchmark::State& state) {
  Interact<Widget>(state, "type", MinifiedJson(), [](Widget&) {},
                   [](Widget& w) {
                     Press(w, Qt::Key_End, Qt::ControlModifier);
                     Press(w, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                   });
}

template <class Widget>
void BM_PageDownJson(benchmark::State& state) {
  Interact<Widget>(state, "page", ConvertedJson(), [](Widget&) {},
                   [](Widget& w) { Press(w, Qt::Key_PageDown); });
}

}  // namespace

BENCHMARK(BM_SetJsonAndPaint_Editor)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetJsonAndPaint_TextBox)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetArabicJsonAndPaint_Editor)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetArabicJsonAndPaint_TextBox)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetLineAndPaint_Editor)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetLineAndPaint_TextBox)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetArabicLineAndPaint_TextBox)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetRightToLeftLineAndPaint_TextBox)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaretToLineEnd<QPlainTextEdit>)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaretToLineEnd<TextView>)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAtLineEnd<QPlainTextEdit>)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAtLineEnd<TextView>)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDownJson<QPlainTextEdit>)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDownJson<TextView>)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
