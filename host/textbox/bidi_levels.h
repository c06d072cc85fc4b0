#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/runtime/string.h"

namespace host {

/// The Unicode bidirectional character types.
enum class BidiClass : std::uint8_t {
  kL, kR, kAL, kEN, kES, kET, kAN, kCS, kNSM, kBN, kB, kS, kWS, kON,
  kLRE, kLRO, kRLE, kRLO, kPDF, kLRI, kRLI, kFSI, kPDI,
};

BidiClass BidiClassOf(char32_t character);

/// The embedding level of every code unit of `text` shown as one line of a
/// left-to-right paragraph, as the Unicode Bidirectional Algorithm resolves
/// it (rules X1 to I2, and L1 for the line). Both halves of a pair share a
/// level; a character the algorithm removes (an embedding control, a
/// boundary neutral) takes the level of the one before it, so that it
/// stays with its neighbour when the line is reordered.
std::vector<std::uint8_t> BidiLevels(StringView text);

/// The positions of `levels` in visual order, left to right (rule L2).
std::vector<std::size_t> VisualOrder(const std::vector<std::uint8_t>& levels);

/// A run of one level, at its x in reading order.
struct LevelRun {
  std::uint8_t level = 0;
  double x = 0;
  double width = 0;
};

/// Where each of `runs` (in reading order, side by side) stands once
/// reordered (rule L2): every stretch of runs at a level or above is
/// mirrored within the space it takes, from the highest level down.
std::vector<double> ReorderedX(const std::vector<LevelRun>& runs);

}  // namespace host
