#pragma once
#include <span>

#include "host/design/design.h"

namespace host {

/// The label that names `box` for assistive technology, as a form's field is
/// named by the caption written over it: of the labels that start above the
/// box's top and share part of its width, the lowest. None if there is none.
constexpr const ControlDesign* LabelOf(std::span<const ControlDesign> controls, const ControlDesign& box) {
  const ControlDesign* found = nullptr;
  for (const ControlDesign& label : controls) {
    const bool above = label.rect.top <= box.rect.top;
    const bool beside = label.rect.left < box.rect.left + box.rect.width &&
                        box.rect.left < label.rect.left + label.rect.width;
    if (label.kind == ControlKind::kLabel && above && beside &&
        (found == nullptr || label.rect.top > found->rect.top)) {
      found = &label;
    }
  }
  return found;
}

}  // namespace host
