#pragma once
#include <cstddef>
#include <string>

namespace bench {

/// Minified JSON of about `bytes` bytes: an array of small records with
/// nested objects, strings, numbers and the odd non-ASCII letter.
std::string MinifiedJson(std::size_t bytes);

}  // namespace bench
