#pragma once
// Records corrupted one way at a time, and the exact error each must give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "host/records/byte_reader.h"

namespace window::testing {

using Bytes = std::vector<std::uint8_t>;

struct Corruption {
  const char* name;
  std::function<void(Bytes&)> corrupt;
  const char* message;
};

inline void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline std::function<void(Bytes&)> Set(std::size_t at, std::uint8_t value) {
  return [=](Bytes& b) { b[at] = value; };
}
inline std::function<void(Bytes&)> Set32(std::size_t at, std::uint32_t value) {
  return [=](Bytes& b) { Put32(b, at, value); };
}
inline std::function<void(Bytes&)> Copy32(std::size_t from, std::size_t to) {
  return [=](Bytes& b) {
    std::copy_n(b.begin() + static_cast<long>(from), 4, b.begin() + static_cast<long>(to));
  };
}

/// Applies each corruption to a copy of `good` and expects `read` to reject
/// it with exactly the corruption's message.
inline void ExpectEachRejected(const Bytes& good, std::span<const Corruption> corruptions,
                               const std::function<void(std::span<const std::uint8_t>)>& read) {
  for (const Corruption& c : corruptions) {
    Bytes bytes = good;
    c.corrupt(bytes);
    try {
      read(bytes);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const host::RecordError& error) {
      EXPECT_STREQ(error.what(), c.message) << c.name;
    }
  }
}

/// Expects `read` to reject every prefix of `good` shorter than it.
inline void ExpectEveryCutRejected(const Bytes& good,
                                   const std::function<void(std::span<const std::uint8_t>)>& read) {
  for (std::size_t length = 0; length < good.size(); ++length) {
    EXPECT_THROW(read(std::span(good.data(), length)), host::RecordError) << length;
  }
}

}  // namespace window::testing
