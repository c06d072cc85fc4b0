// Writes the benchmarks' minified JSON sample of about N megabytes to
// standard output, for the benchmarks that run whole programs.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/json_sample.h"

int main(int argc, char** argv) {
  const long megabytes = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (megabytes <= 0) {
    std::fputs("usage: json-sample MEGABYTES\n", stderr);
    return 1;
  }
  const std::string json = bench::MinifiedJson(static_cast<std::size_t>(megabytes) << 20);
  return std::fwrite(json.data(), 1, json.size(), stdout) == json.size() ? 0 : 1;
}
