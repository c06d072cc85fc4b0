// The five-pass conversion beside a plain copy of the same UTF-16 bytes.
// Each run reports `copy_ratio`: the conversion's throughput as a share of
// memcpy's, both measured in the same process.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "bench/json_sample.h"
#include "convert/json_format.h"
#include "host/runtime/utf8.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsOf(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

void BM_JSONFormat(benchmark::State& state) {
  const host::String text = host::Utf8ToUtf16(bench::MinifiedJson(static_cast<std::size_t>(state.range(0))));
  const std::size_t bytes = text.size() * sizeof(char16_t);
  std::vector<char16_t> target(text.size());
  double convert_seconds = 0;
  double copy_seconds = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    host::String readable = convert::JSONFormat(text);
    const auto converted = Clock::now();
    std::memcpy(target.data(), text.data(), bytes);
    benchmark::ClobberMemory();
    const auto copied = Clock::now();
    benchmark::DoNotOptimize(readable.data());
    convert_seconds += SecondsOf(converted - start);
    copy_seconds += SecondsOf(copied - converted);
    state.SetIterationTime(SecondsOf(converted - start));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["copy_ratio"] = copy_seconds / convert_seconds;
  state.counters["ms"] = 1000 * convert_seconds / static_cast<double>(state.iterations());
}

constexpr std::int64_t kMegabyte = 1 << 20;

BENCHMARK(BM_JSONFormat)
    ->Arg(kMegabyte)
    ->Arg(10 * kMegabyte)
    ->Arg(100 * kMegabyte)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
