#include "host/runtime/find_unit.h"

#include "host/runtime/text_kernels.h"

namespace host {

const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  return Kernels().find_unit(first, last, unit);
}

const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last) {
  return Kernels().find_tab_or_surrogate(first, last);
}

std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  return Kernels().count_unit(first, last, unit);
}

char16_t* ReplaceUnitInto(const char16_t* first, const char16_t* last, char16_t unit,
                          const char16_t* with, std::size_t with_size, char16_t* out) {
  return Kernels().replace_unit_into(first, last, unit, with, with_size, out);
}

void StreamUnits(const char16_t* in, std::size_t units, char16_t* out, const char16_t* next,
                 std::size_t next_units) {
  Kernels().stream_units(in, units, out, next, next_units);
}

void FinishStreaming() { Kernels().finish_streaming(); }

LineStarts FindLineStarts(const char16_t* text, const char16_t* first, const char16_t* last,
                          std::size_t* out, std::size_t room) {
  return Kernels().line_starts(text, first, last, out, room);
}

}  // namespace host
