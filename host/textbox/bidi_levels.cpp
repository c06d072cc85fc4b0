#include "host/textbox/bidi_levels.h"

#include <algorithm>
#include <limits>

#include "host/textbox/bidi_tables.h"
#include "host/textbox/code_points.h"

namespace host {
namespace {

using C = BidiClass;

constexpr std::uint8_t kMaxDepth = 125;
constexpr std::size_t kMaxOpenBrackets = 63;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

bool IsIsolateInitiator(C type) { return type == C::kLRI || type == C::kRLI || type == C::kFSI; }

bool IsRemoved(C type) {
  return type == C::kRLE || type == C::kLRE || type == C::kRLO || type == C::kLRO || type == C::kPDF ||
         type == C::kBN;
}

bool IsNeutralOrIsolate(C type) {
  return type == C::kB || type == C::kS || type == C::kWS || type == C::kON || IsIsolateInitiator(type) ||
         type == C::kPDI;
}

// The strong direction a resolved type counts as for neutrals: numbers
// count as right to left; kON for none.
C StrongOf(C type) {
  if (type == C::kL) return C::kL;
  if (type == C::kR || type == C::kAL || type == C::kEN || type == C::kAN) return C::kR;
  return C::kON;
}

C DirectionOf(std::uint8_t level) { return (level & 1) != 0 ? C::kR : C::kL; }

// The two angle brackets that have canonical equivalents pair with them.
char32_t Canonical(char32_t bracket) {
  if (bracket == 0x2329) return 0x3008;
  if (bracket == 0x232A) return 0x3009;
  return bracket;
}

// The closing bracket `character` opens, or 0 if it opens none.
char32_t ClosingOf(char32_t character) {
  const auto pair = std::lower_bound(std::begin(kBracketPairs), std::end(kBracketPairs), character,
                                     [](const BracketPair& pair, char32_t value) { return pair.open < value; });
  return pair != std::end(kBracketPairs) && pair->open == character ? Canonical(pair->close) : 0;
}

bool IsClosing(char32_t character) {
  return std::any_of(std::begin(kBracketPairs), std::end(kBracketPairs),
                     [&](const BracketPair& pair) { return pair.close == character; });
}

// One paragraph: characters up to and including a paragraph separator.
class Paragraph {
 public:
  explicit Paragraph(std::vector<char32_t> characters) : characters_(std::move(characters)) {
    const std::size_t size = characters_.size();
    for (char32_t character : characters_) original_.push_back(BidiClassOf(character));
    types_ = original_;
    levels_.assign(size, 0);
    MatchIsolates();
    ResolveExplicit();
    embedding_ = levels_;
    for (std::size_t i = 0; i < size; ++i) {
      if (!IsRemoved(original_[i])) kept_.push_back(i);
    }
    for (const auto& sequence : Sequences()) ResolveSequence(sequence);
    for (std::size_t i = 0; i < size; ++i) {
      if (IsRemoved(original_[i])) levels_[i] = i == 0 ? 0 : levels_[i - 1];
    }
    ResetLineEnds();
  }

  const std::vector<std::uint8_t>& Levels() const { return levels_; }

 private:
  struct Entry {
    std::uint8_t level;
    C override;  // kON for none
    bool isolate;
  };

  void MatchIsolates() {
    matching_.assign(characters_.size(), kNone);
    matched_.assign(characters_.size(), false);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < characters_.size(); ++i) {
      if (IsIsolateInitiator(original_[i])) {
        open.push_back(i);
      } else if (original_[i] == C::kPDI && !open.empty()) {
        matching_[open.back()] = i;
        matched_[i] = true;
        open.pop_back();
      }
    }
  }

  // Whether the first strong character in [begin, end), isolates skipped,
  // is right to left: the direction a first-strong isolate takes.
  bool FirstStrongIsRightToLeft(std::size_t begin, std::size_t end) const {
    for (std::size_t i = begin; i < end; ++i) {
      const C type = original_[i];
      if (type == C::kL) return false;
      if (type == C::kR || type == C::kAL) return true;
      if (IsIsolateInitiator(type)) {
        if (matching_[i] == kNone) return false;
        i = matching_[i];
      }
    }
    return false;
  }

  void ResolveExplicit() {
    std::vector<Entry> stack{{0, C::kON, false}};
    std::size_t overflow_isolates = 0;
    std::size_t overflow_embeddings = 0;
    std::size_t valid_isolates = 0;
    auto next_level = [&](bool right_to_left) {
      const std::uint8_t level = stack.back().level;
      return static_cast<std::uint8_t>(right_to_left ? (level + 1) | 1 : (level + 2) & ~1);
    };
    auto take_override = [&](std::size_t i) {
      levels_[i] = stack.back().level;
      if (stack.back().override != C::kON) types_[i] = stack.back().override;
    };
    for (std::size_t i = 0; i < characters_.size(); ++i) {
      const C type = original_[i];
      switch (type) {
        case C::kRLE:
        case C::kLRE:
        case C::kRLO:
        case C::kLRO: {
          levels_[i] = stack.back().level;
          const std::uint8_t level = next_level(type == C::kRLE || type == C::kRLO);
          if (level <= kMaxDepth && overflow_isolates == 0 && overflow_embeddings == 0) {
            const C override = type == C::kRLO ? C::kR : type == C::kLRO ? C::kL : C::kON;
            stack.push_back({level, override, false});
          } else if (overflow_isolates == 0) {
            ++overflow_embeddings;
          }
          break;
        }
        case C::kRLI:
        case C::kLRI:
        case C::kFSI: {
          take_override(i);
          const bool right_to_left =
              type == C::kRLI ||
              (type == C::kFSI && FirstStrongIsRightToLeft(i + 1, std::min(matching_[i], characters_.size())));
          const std::uint8_t level = next_level(right_to_left);
          if (level <= kMaxDepth && overflow_isolates == 0 && overflow_embeddings == 0) {
            ++valid_isolates;
            stack.push_back({level, C::kON, true});
          } else {
            ++overflow_isolates;
          }
          break;
        }
        case C::kPDI:
          if (overflow_isolates > 0) {
            --overflow_isolates;
          } else if (valid_isolates > 0) {
            overflow_embeddings = 0;
            while (!stack.back().isolate) stack.pop_back();
            stack.pop_back();
            --valid_isolates;
          }
          take_override(i);
          break;
        case C::kPDF:
          if (overflow_isolates > 0) {
          } else if (overflow_embeddings > 0) {
            --overflow_embeddings;
          } else if (!stack.back().isolate && stack.size() >= 2) {
            stack.pop_back();
          }
          levels_[i] = stack.back().level;
          break;
        case C::kB:
          levels_[i] = 0;
          break;
        case C::kBN:
          levels_[i] = stack.back().level;
          break;
        default:
          take_override(i);
      }
    }
  }

  // The isolating run sequences: level runs of the characters kept, each
  // run ending in an isolate initiator joined to the one its PDI starts.
  std::vector<std::vector<std::size_t>> Sequences() const {
    std::vector<std::pair<std::size_t, std::size_t>> runs;  // [begin, end) in kept_
    for (std::size_t k = 0; k < kept_.size(); ++k) {
      if (k == 0 || levels_[kept_[k]] != levels_[kept_[k - 1]]) runs.emplace_back(k, k);
      runs.back().second = k + 1;
    }
    std::vector<std::size_t> run_starting_at(characters_.size(), kNone);
    for (std::size_t r = 0; r < runs.size(); ++r) run_starting_at[kept_[runs[r].first]] = r;
    std::vector<std::vector<std::size_t>> sequences;
    for (const auto& run : runs) {
      const std::size_t first = kept_[run.first];
      if (original_[first] == C::kPDI && matched_[first]) continue;
      std::vector<std::size_t> sequence;
      for (auto current = run;;) {
        for (std::size_t k = current.first; k < current.second; ++k) sequence.push_back(kept_[k]);
        const std::size_t last = kept_[current.second - 1];
        if (!IsIsolateInitiator(original_[last]) || matching_[last] == kNone) break;
        const std::size_t next = run_starting_at[matching_[last]];
        if (next == kNone) break;
        current = runs[next];
      }
      sequences.push_back(std::move(sequence));
    }
    return sequences;
  }

  // The embedding level of the kept character after (or before) `i`, or
  // the paragraph's.
  std::uint8_t NeighbourLevel(std::size_t i, bool forward) const {
    const auto at = std::lower_bound(kept_.begin(), kept_.end(), i);
    if (forward) return at + 1 < kept_.end() ? embedding_[*(at + 1)] : 0;
    return at != kept_.begin() ? embedding_[*(at - 1)] : 0;
  }

  void ResolveSequence(const std::vector<std::size_t>& sequence) {
    const std::uint8_t level = levels_[sequence.front()];
    const C sos = DirectionOf(std::max(level, NeighbourLevel(sequence.front(), false)));
    const std::size_t last = sequence.back();
    const std::uint8_t after = IsIsolateInitiator(original_[last]) ? 0 : NeighbourLevel(last, true);
    const C eos = DirectionOf(std::max(level, after));
    std::vector<C> types;
    for (std::size_t i : sequence) types.push_back(types_[i]);
    ResolveWeak(types, sos);
    ResolveBrackets(sequence, types, sos, DirectionOf(level));
    ResolveNeutral(types, sos, eos, DirectionOf(level));
    for (std::size_t k = 0; k < sequence.size(); ++k) {
      std::uint8_t& resolved = levels_[sequence[k]];
      const C type = types[k];
      if ((resolved & 1) == 0) {
        resolved += type == C::kR ? 1 : (type == C::kAN || type == C::kEN) ? 2 : 0;
      } else if (type == C::kL || type == C::kEN || type == C::kAN) {
        ++resolved;
      }
    }
  }

  static void ResolveWeak(std::vector<C>& types, C sos) {
    const std::size_t size = types.size();
    for (std::size_t k = 0; k < size; ++k) {
      if (types[k] != C::kNSM) continue;
      if (k == 0) {
        types[k] = sos;
      } else {
        types[k] = IsIsolateInitiator(types[k - 1]) || types[k - 1] == C::kPDI ? C::kON : types[k - 1];
      }
    }
    C strong = sos;
    for (C& type : types) {
      if (type == C::kL || type == C::kR || type == C::kAL) strong = type;
      if (type == C::kEN && strong == C::kAL) type = C::kAN;
    }
    std::replace(types.begin(), types.end(), C::kAL, C::kR);
    for (std::size_t k = 1; k + 1 < size; ++k) {
      const C before = types[k - 1];
      if (before != types[k + 1]) continue;
      if ((types[k] == C::kES && before == C::kEN) ||
          (types[k] == C::kCS && (before == C::kEN || before == C::kAN))) {
        types[k] = before;
      }
    }
    for (std::size_t k = 0; k < size;) {
      if (types[k] != C::kET) {
        ++k;
        continue;
      }
      std::size_t end = k;
      while (end < size && types[end] == C::kET) ++end;
      if ((k > 0 && types[k - 1] == C::kEN) || (end < size && types[end] == C::kEN)) {
        std::fill(types.begin() + static_cast<std::ptrdiff_t>(k), types.begin() + static_cast<std::ptrdiff_t>(end),
                  C::kEN);
      }
      k = end;
    }
    for (C& type : types) {
      if (type == C::kES || type == C::kET || type == C::kCS) type = C::kON;
    }
    strong = sos;
    for (C& type : types) {
      if (type == C::kL || type == C::kR) strong = type;
      if (type == C::kEN && strong == C::kL) type = C::kL;
    }
  }

  void ResolveBrackets(const std::vector<std::size_t>& sequence, std::vector<C>& types, C sos, C embedding) const {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    std::vector<std::pair<char32_t, std::size_t>> open;  // closing bracket awaited, position
    for (std::size_t k = 0; k < sequence.size(); ++k) {
      if (types[k] != C::kON) continue;
      const char32_t character = characters_[sequence[k]];
      if (const char32_t closing = ClosingOf(character); closing != 0) {
        if (open.size() == kMaxOpenBrackets) break;
        open.emplace_back(closing, k);
      } else if (IsClosing(character)) {
        for (std::size_t depth = open.size(); depth > 0; --depth) {
          if (open[depth - 1].first != Canonical(character)) continue;
          pairs.emplace_back(open[depth - 1].second, k);
          open.resize(depth - 1);
          break;
        }
      }
    }
    std::sort(pairs.begin(), pairs.end());
    const C opposite = embedding == C::kL ? C::kR : C::kL;
    for (const auto& [first, last] : pairs) {
      bool has_embedding = false;
      bool has_opposite = false;
      for (std::size_t k = first + 1; k < last; ++k) {
        const C strong = StrongOf(types[k]);
        has_embedding = has_embedding || strong == embedding;
        has_opposite = has_opposite || strong == opposite;
      }
      if (!has_embedding && !has_opposite) continue;
      C resolved = embedding;
      if (!has_embedding) {
        C context = sos;
        for (std::size_t k = first; k > 0; --k) {
          if (const C strong = StrongOf(types[k - 1]); strong != C::kON) {
            context = strong;
            break;
          }
        }
        if (context == opposite) resolved = opposite;
      }
      for (std::size_t bracket : {first, last}) {
        types[bracket] = resolved;
        for (std::size_t k = bracket + 1; k < sequence.size() && original_[sequence[k]] == C::kNSM; ++k) {
          types[k] = resolved;
        }
      }
    }
  }

  static void ResolveNeutral(std::vector<C>& types, C sos, C eos, C embedding) {
    const std::size_t size = types.size();
    for (std::size_t k = 0; k < size;) {
      if (!IsNeutralOrIsolate(types[k])) {
        ++k;
        continue;
      }
      std::size_t end = k;
      while (end < size && IsNeutralOrIsolate(types[end])) ++end;
      const C before = k == 0 ? sos : StrongOf(types[k - 1]);
      const C after = end == size ? eos : StrongOf(types[end]);
      std::fill(types.begin() + static_cast<std::ptrdiff_t>(k), types.begin() + static_cast<std::ptrdiff_t>(end),
                before == after ? before : embedding);
      k = end;
    }
  }

  // Separators, and the blanks before them and at the line's end, take the
  // paragraph's level.
  void ResetLineEnds() {
    auto reset_blanks_before = [&](std::size_t end) {
      for (std::size_t i = end; i > 0; --i) {
        const C type = original_[i - 1];
        if (type != C::kWS && !IsIsolateInitiator(type) && type != C::kPDI && !IsRemoved(type)) break;
        levels_[i - 1] = 0;
      }
    };
    for (std::size_t i = 0; i < characters_.size(); ++i) {
      if (original_[i] == C::kS || original_[i] == C::kB) {
        levels_[i] = 0;
        reset_blanks_before(i);
      }
    }
    reset_blanks_before(characters_.size());
  }

  std::vector<char32_t> characters_;
  std::vector<C> original_;
  std::vector<C> types_;
  std::vector<std::uint8_t> levels_;
  std::vector<std::uint8_t> embedding_;  // the levels the explicit rules give
  std::vector<std::size_t> matching_;  // an isolate initiator's PDI
  std::vector<bool> matched_;          // a PDI that closes an isolate
  std::vector<std::size_t> kept_;      // what the algorithm does not remove
};

}  // namespace

BidiClass BidiClassOf(char32_t character) {
  const auto after = std::upper_bound(std::begin(kBidiClassRanges), std::end(kBidiClassRanges), character,
                                      [](char32_t value, const BidiClassRange& range) { return value < range.first; });
  return (after - 1)->bidi_class;
}

std::vector<std::uint8_t> BidiLevels(StringView text) {
  std::vector<std::uint8_t> levels;
  levels.reserve(text.size());
  std::vector<char32_t> characters;
  std::vector<std::size_t> units;
  auto resolve = [&] {
    const Paragraph paragraph(std::move(characters));
    for (std::size_t k = 0; k < units.size(); ++k) levels.insert(levels.end(), units[k], paragraph.Levels()[k]);
    characters.clear();
    units.clear();
  };
  for (std::size_t offset = 0; offset < text.size();) {
    const CodePoint point = CodePointAt(text, offset);
    characters.push_back(point.value);
    units.push_back(point.units);
    offset += point.units;
    if (BidiClassOf(point.value) == C::kB) resolve();
  }
  if (!characters.empty()) resolve();
  return levels;
}

std::vector<std::size_t> VisualOrder(const std::vector<std::uint8_t>& levels) {
  std::vector<std::size_t> order(levels.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  const std::uint8_t highest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
  for (std::uint8_t level = highest; level >= 1; --level) {
    for (std::size_t i = 0; i < order.size();) {
      if (levels[order[i]] < level) {
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < order.size() && levels[order[end]] >= level) ++end;
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i), order.begin() + static_cast<std::ptrdiff_t>(end));
      i = end;
    }
  }
  return order;
}

std::vector<double> ReorderedX(const std::vector<LevelRun>& runs) {
  std::vector<double> xs;
  std::uint8_t highest = 0;
  for (const LevelRun& run : runs) {
    xs.push_back(run.x);
    highest = std::max(highest, run.level);
  }
  for (std::uint8_t level = highest; level >= 1; --level) {
    for (std::size_t i = 0; i < runs.size();) {
      if (runs[i].level < level) {
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < runs.size() && runs[end].level >= level) ++end;
      const double mirror = runs[i].x + runs[end - 1].x + runs[end - 1].width;
      for (std::size_t k = i; k < end; ++k) xs[k] = mirror - xs[k] - runs[k].width;
      i = end;
    }
  }
  return xs;
}

}  // namespace host
