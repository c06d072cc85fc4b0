// Any bytes as the project image: start-up either plans the window or
// rejects the image with a RecordError; nothing else may happen, and every
// text the plan holds must view the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "host/byte_reader.h"
#include "host/start.h"
#include "window/procedures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto inside = [&](std::string_view text) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!text.empty() && (first < data || first + text.size() > data + size)) std::abort();
  };
  try {
    const host::StartPlan plan = host::PlanStart(std::span(data, size), window::kJSONfrmCode);
    inside(plan.title);
    const host::WindowDesign& design = plan.design.Design();
    inside(design.name);
    inside(design.caption);
    for (const host::ControlDesign& control : design.controls) {
      inside(control.name);
      inside(control.caption);
    }
  } catch (const host::RecordError&) {
  }
  return 0;
}
