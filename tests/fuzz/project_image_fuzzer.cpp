// Any bytes as the project image: start-up either plans the window or
// rejects the image with a RecordError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/byte_reader.h"
#include "host/start.h"
#include "window/procedures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const host::StartPlan plan = host::PlanStart(std::span(data, size), window::kJSONfrmCode);
    // Every view the plan holds must lie inside the input.
    std::size_t seen = plan.title.size();
    for (const host::ControlDesign& control : plan.design.Design().controls) {
      seen += control.name.size() + control.caption.size();
    }
    return seen > size ? 1 : 0;
  } catch (const host::RecordError&) {
    return 0;
  }
}
