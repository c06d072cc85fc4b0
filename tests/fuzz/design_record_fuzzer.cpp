// Any bytes as a design record: they are read or rejected with a
// RecordError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/records/byte_reader.h"
#include "host/records/design_reader.h"
#include "tests/fuzz/views_inside.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const host::DesignRecord record(std::span(data, size));
    fuzz::ExpectInside(record.Design(), data, size);
  } catch (const host::RecordError&) {
  }
  return 0;
}
