#pragma once
#include <cstddef>
#include <string>

namespace bench {

/// Minified JSON of about `bytes` bytes: an array of small records with
/// nested objects, strings, numbers and the odd non-ASCII letter.
std::string MinifiedJson(std::size_t bytes);

/// The same records with Arabic names and places: every string a
/// right-to-left run that the text box shapes and reorders.
std::string MinifiedArabicJson(std::size_t bytes);

}  // namespace bench
