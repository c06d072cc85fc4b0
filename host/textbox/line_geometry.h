#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "host/runtime/string.h"

namespace host {

/// Horizontal positions in a line of text, where every character cell (a
/// code unit, or a surrogate pair) has a fixed advance and a tab advances to
/// the next tab stop. Long lines keep marks every few thousand units, so a
/// position deep inside a line of megabytes costs one short walk from the
/// mark before it.
class LineGeometry {
 public:
  using Measure = std::function<double(char32_t)>;

  static constexpr std::size_t kChunkUnits = 4096;

  /// `measure` gives the advance of one character; it is asked once per
  /// character, and its answer is kept to a 64th of a pixel.
  LineGeometry(Measure measure, double tab_width);

  /// The x of boundary `offset` in `line`. `key` identifies the line (its
  /// start in the document) for the marks kept between calls.
  double X(std::size_t key, StringView line, std::size_t offset);

  struct Hit {
    std::size_t offset = 0;
    double x = 0;
  };
  /// The last cell boundary whose x is at most `x` (the first if none is).
  Hit Before(std::size_t key, StringView line, double x);
  /// The cell boundary nearest to `x`.
  std::size_t Nearest(std::size_t key, StringView line, double x);

  /// The next boundary after `offset` and the x there, from the x at `offset`.
  Hit Step(StringView line, Hit at);

  /// Drops what an edit at document position `position` may have made stale.
  void Invalidate(std::size_t position);
  void Clear() { marks_.clear(); }

 private:
  struct Marks {
    std::vector<std::size_t> offsets{0};
    std::vector<double> xs{0.0};
  };

  double Advance(char32_t character, double x);
  std::int32_t Measured(char16_t unit);  // in 64ths of a pixel
  // The advances of [first, last), which holds no tab and no surrogate.
  std::int64_t SumPlain(const char16_t* first, const char16_t* last);
  Marks& MarksFor(std::size_t key);
  // Extends `marks` by one chunk; false at the end of the line.
  bool Extend(Marks& marks, StringView line);

  Measure measure_;
  double tab_width_;
  // Advances of the basic plane in 64ths of a pixel, negative until asked.
  // Whole 64ths (the font engine's own unit) add up exactly in any order.
  std::vector<std::int32_t> bmp_;
  std::unordered_map<char32_t, double> astral_;
  std::unordered_map<std::size_t, Marks> marks_;
};

}  // namespace host
