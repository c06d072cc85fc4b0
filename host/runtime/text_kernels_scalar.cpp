// The plain kernels: the reference the vector ones are tested against, and
// the tails the vector ones leave.
#include "host/runtime/text_kernels.h"

#include <cstring>

#include "host/runtime/text_kernels_tails.h"

namespace host {
namespace kernels {

extern constinit const TextKernels kScalar{
    .find_unit = tails::FindUnit,
    .find_tab_or_surrogate = tails::FindTabOrSurrogate,
    .count_unit = tails::CountUnit,
    .replace_unit_into = tails::ReplaceUnitInto,
    .stream_units = [](const char16_t* in, std::size_t units, char16_t* out, const char16_t*,
                       std::size_t) {
      std::memcpy(out, in, units * sizeof(char16_t));
    },
    .finish_streaming = [] {},
    .widen_ascii = [](const char*, std::size_t, char16_t*) -> std::size_t { return 0; },
    .narrow_ascii = [](const char16_t*, std::size_t, char*) -> std::size_t { return 0; },
    .ascii_units = [](const char16_t*, std::size_t) -> std::size_t { return 0; },
    .line_starts = tails::FindLineStarts,
};

}  // namespace kernels
}  // namespace host
