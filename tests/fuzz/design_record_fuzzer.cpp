// Any bytes as a design record: they are read or rejected with a
// RecordError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/byte_reader.h"
#include "host/design_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const host::DesignRecord record(std::span(data, size));
    const host::WindowDesign& design = record.Design();
    std::size_t seen = design.name.size() + design.caption.size() + design.link_topic.size();
    for (const host::ControlDesign& control : design.controls) {
      seen += control.name.size() + control.caption.size();
    }
    return seen > size ? 1 : 0;
  } catch (const host::RecordError&) {
    return 0;
  }
}
