#include "host/textbox/control_marks.h"

#include <array>

namespace host {
namespace {

constexpr std::array<std::string_view, 32> kC0 = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT", "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

constexpr std::string_view kSurrogate = "SUR";

}  // namespace

std::string_view ControlMark(char32_t character) {
  if (character < kC0.size()) return character == U'\t' ? std::string_view() : kC0[character];
  if (character == 0x7F) return "DEL";
  if (character >= 0x80 && character <= 0x9F) return "C1";
  if (character == 0x2028) return "LS";
  if (character == 0x2029) return "PS";
  if (character >= 0xD800 && character <= 0xDFFF) return kSurrogate;
  return {};
}

}  // namespace host
