// Any bytes as a design record: they are read or rejected with a
// RecordError; nothing else may happen, and every text read must view the
// input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "host/byte_reader.h"
#include "host/design_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto inside = [&](std::string_view text) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!text.empty() && (first < data || first + text.size() > data + size)) std::abort();
  };
  try {
    const host::DesignRecord record(std::span(data, size));
    const host::WindowDesign& design = record.Design();
    inside(design.name);
    inside(design.caption);
    inside(design.link_topic);
    for (const host::ControlDesign& control : design.controls) {
      inside(control.name);
      inside(control.caption);
    }
  } catch (const host::RecordError&) {
  }
  return 0;
}
