// The program's window, built from its records as the start routine builds
// it, driven headless: Convert of a minified JSON text, and pasting that
// text into Inputs. Each run is timed from the click (or Ctrl+V) until the
// box has painted the new text: all of it on the event loop's thread, so
// this is how long the window stays frozen. Memory is the resident set,
// against the UTF-16 size of the input. Times are the quickest run (ms)
// and the first (first_ms), which in a fresh process maps all its memory
// anew. Memory:
//   peak_x     highest while the action ran, above the empty window (first_
//              for the first run, with Outputs still empty);
//   added_x    highest while the action ran, above what was held before it;
//   held_x     held once the loop has gone idle, above the empty window.
// Run with QT_QPA_PLATFORM=offscreen (the default here) or under an X server.
#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/project_image.h"
#include "bench/json_sample.h"
#include "host/qt/qt_backend.h"
#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "host/runtime/utf8.h"
#include "host/start/dispatch.h"
#include "host/start/start.h"
#include "window/procedures.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int64_t kMegabyte = 1 << 20;

double ReadStatus(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return 1024.0 * std::stod(line.substr(std::string(field).size()));
  }
  return 0;
}

double ResidentBytes() { return ReadStatus("VmRSS:"); }
double PeakBytes() { return ReadStatus("VmHWM:"); }
// The peak starts again from what is resident now.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Sets a flag when a widget is painted; the paint itself is done by the
// time the event loop returns.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget& widget) : widget_(widget) { widget_.installEventFilter(this); }
  ~PaintWatch() override { widget_.removeEventFilter(this); }

  void WaitForPaint() {
    while (!painted_) QApplication::processEvents();
    painted_ = false;
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted_ = true;
    return false;
  }

 private:
  QWidget& widget_;
  bool painted_ = false;
};

// The program's window, from its records.
class Program {
 public:
  Program() {
    plan_.emplace(host::PlanStart(app::kProjectImage, window::kJSONfrmCode));
    window_ = &backend_.CreateWindow(plan_->design.Design(), dispatcher_);
    form_ = window::kJSONfrmCode.create(*window_,
                                        host::InterfacesOf(plan_->project.objects.at(plan_->object)));
    dispatcher_.Attach(*form_, plan_->bindings);
    dispatcher_.Raise("JSONfrm", host::Event::kLoad);
    window_->Show();
    top_ = QApplication::topLevelWidgets().value(0);
    GoIdle();
    empty_ = ResidentBytes();
  }

  template <class T>
  T& Find(const char* name) {
    return *top_->findChild<T*>(name);
  }

  // Once around the event loop with nothing to do, as between two actions
  // of the user.
  void GoIdle() {
    QApplication::processEvents();
    QTimer::singleShot(1, [] {});
    QAbstractEventDispatcher::instance()->processEvents(QEventLoop::WaitForMoreEvents);
  }

  double EmptyBytes() const { return empty_; }

 private:
  host::qt::QtBackend backend_;
  std::optional<host::StartPlan> plan_;
  host::Dispatcher dispatcher_{backend_, "Quillfen"};
  host::NativeWindow* window_ = nullptr;
  std::unique_ptr<host::Form> form_;
  QWidget* top_ = nullptr;
  double empty_ = 0;
};

Program& TheProgram() {
  static Program program;
  return program;
}

struct Figures {
  double first_seconds = -1;
  double best_seconds = 1e30;
  double first_peak = -1;
  double peak = 0;
  double added = 0;
  double held = 0;
};

void Report(benchmark::State& state, const Figures& figures, double text_bytes) {
  state.counters["ms"] = 1000 * figures.best_seconds;
  state.counters["first_ms"] = 1000 * figures.first_seconds;
  state.counters["peak_x"] = figures.peak / text_bytes;
  state.counters["first_peak_x"] = figures.first_peak / text_bytes;
  state.counters["added_x"] = figures.added / text_bytes;
  state.counters["held_x"] = figures.held / text_bytes;
  state.counters["utf16_MB"] = text_bytes / kMegabyte;
}

// Runs `act` per iteration and waits until `box` has painted.
template <class Act>
void Measure(benchmark::State& state, Program& program, host::qt::TextView& box, double text_bytes,
             Act act) {
  PaintWatch watch(*box.viewport());
  Figures figures;
  for (auto _ : state) {
    program.GoIdle();
    const double before = ResidentBytes();
    ResetPeak();
    const auto start = Clock::now();
    act();
    watch.WaitForPaint();
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    state.SetIterationTime(elapsed.count());
    figures.best_seconds = std::min(figures.best_seconds, elapsed.count());
    if (figures.first_seconds < 0) figures.first_seconds = elapsed.count();
    const double peak = PeakBytes() - program.EmptyBytes();
    if (figures.first_peak < 0) figures.first_peak = peak;
    figures.peak = std::max(figures.peak, peak);
    figures.added = std::max(figures.added, PeakBytes() - before);
    program.GoIdle();
    figures.held = ResidentBytes() - program.EmptyBytes();
  }
  Report(state, figures, text_bytes);
}

// Empties both boxes as the program's writes do, leaving nothing to undo.
void EmptyBoxes(Program& program) {
  for (const char* name : {"Inputs", "Outputs"}) {
    program.Find<host::qt::TextView>(name).Document().ResetText(host::String());
  }
  program.GoIdle();
}

// Puts the sample into Inputs without keeping a copy of it.
double PutInputs(Program& program, std::int64_t bytes) {
  EmptyBoxes(program);
  const host::String json = host::Utf8ToUtf16(bench::MinifiedJson(static_cast<std::size_t>(bytes)));
  program.Find<host::qt::TextView>("Inputs").Document().ResetText(json);
  return static_cast<double>(json.size() * sizeof(char16_t));
}

void BM_Convert(benchmark::State& state) {
  Program& program = TheProgram();
  const double text_bytes = PutInputs(program, state.range(0));
  auto& button = program.Find<QPushButton>("Command1");
  Measure(state, program, program.Find<host::qt::TextView>("Outputs"), text_bytes,
          [&] { QTest::mouseClick(&button, Qt::LeftButton); });
  state.counters["lines"] = static_cast<double>(program.Find<host::qt::TextView>("Outputs").LineCount());
}

// With QUILLFEN_BENCH_OUTSIDE_CLIPBOARD set, another program (see
// window_bench_x11.sh) holds the sample on the clipboard and every paste
// fetches it from there; otherwise this process puts it there itself.
bool OutsideClipboard() { return !qEnvironmentVariableIsEmpty("QUILLFEN_BENCH_OUTSIDE_CLIPBOARD"); }

void BM_Paste(benchmark::State& state) {
  Program& program = TheProgram();
  auto& inputs = program.Find<host::qt::TextView>("Inputs");
  EmptyBoxes(program);
  if (!OutsideClipboard()) {
    const host::String json =
        host::Utf8ToUtf16(bench::MinifiedJson(static_cast<std::size_t>(state.range(0))));
    QApplication::clipboard()->setText(host::qt::ToQString(json));
  }
  // The clipboard's own part: handing over its text.
  const auto asked = Clock::now();
  const double text_bytes =
      static_cast<double>(QApplication::clipboard()->text().size()) * sizeof(char16_t);
  const std::chrono::duration<double> transfer = Clock::now() - asked;
  if (text_bytes == 0) {
    state.SkipWithError("the clipboard holds no text");
    return;
  }
  inputs.setFocus();
  Measure(state, program, inputs, text_bytes, [&] {
    inputs.SelectAll();
    QTest::keyClick(&inputs, Qt::Key_V, Qt::ControlModifier);
  });
  state.counters["clipboard_ms"] = 1000 * transfer.count();
  if (!OutsideClipboard()) QApplication::clipboard()->clear();
}

BENCHMARK(BM_Convert)
    ->Arg(10 * kMegabyte)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert)
    ->Arg(100 * kMegabyte)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste)
    ->Arg(10 * kMegabyte)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste)
    ->Arg(100 * kMegabyte)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  TheProgram();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
