#include "host/start/report.h"

#include <cstdio>

namespace host {
namespace {
// The image names the program; a malformed one cannot be trusted to.
constexpr std::string_view kStartUpTitle = "Start-up failed";
}  // namespace

void Report(Backend& backend, std::string_view title, const RuntimeError& error) {
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(title.size()), title.data(), error.what());
  backend.ReportError(title, error);
}

void ReportStartUpError(Backend& backend, const RecordError& error) {
  Report(backend, kStartUpTitle, RuntimeError(ErrorNumber::kInvalidFormat, error.what()));
}

}  // namespace host
