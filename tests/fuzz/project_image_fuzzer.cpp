// Any bytes as the project image: start-up either plans the window or
// rejects the image with a RecordError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/records/byte_reader.h"
#include "host/start/start.h"
#include "tests/fuzz/views_inside.h"
#include "window/procedures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const host::StartPlan plan = host::PlanStart(std::span(data, size), window::kJSONfrmCode);
    fuzz::ExpectInside(plan.title, data, size);
    fuzz::ExpectInside(plan.design.Design(), data, size);
  } catch (const host::RecordError&) {
  }
  return 0;
}
