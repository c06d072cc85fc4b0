#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "host/design/design.h"

namespace host {

/// A window's design read from its design record. Its texts view the
/// record's bytes, which must outlive it.
class DesignRecord {
 public:
  /// Reads and checks the whole record; a malformed one throws a
  /// RecordError naming the field and its offset.
  explicit DesignRecord(std::span<const std::uint8_t> bytes);

  DesignRecord(const DesignRecord&) = delete;
  DesignRecord& operator=(const DesignRecord&) = delete;
  // The design's span stays valid: moving a vector keeps its elements.
  DesignRecord(DesignRecord&&) noexcept = default;
  DesignRecord& operator=(DesignRecord&&) noexcept = default;

  const WindowDesign& Design() const { return design_; }

 private:
  std::vector<ControlDesign> controls_;
  WindowDesign design_;
};

}  // namespace host
