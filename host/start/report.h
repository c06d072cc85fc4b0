#pragma once
#include <string_view>

#include "host/objects/backend.h"
#include "host/records/byte_reader.h"
#include "host/runtime/runtime_error.h"

namespace host {

/// Tells the user of an error that ends the program: on standard error, so
/// that a run without a desktop leaves a trace, and through the backend.
void Report(Backend& backend, std::string_view title, const RuntimeError& error);

/// The same for a project image the program cannot start from.
void ReportStartUpError(Backend& backend, const RecordError& error);

}  // namespace host
