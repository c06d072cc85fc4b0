#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "host/objects/form.h"
#include "window/jsonfrm.h"

namespace window {
namespace detail {
template <void (JSONfrm::*Handler)()>
void Run(host::Form& form) {
  (static_cast<JSONfrm&>(form).*Handler)();
}
}  // namespace detail

/// JSONfrm's procedure table, in the order of the image's: the only place
/// that ties an event table's procedure index to code. JSONFormat takes
/// arguments; the Click handler calls it, and no event can reach it.
inline constexpr std::array<host::Procedure, 4> kJSONfrmProcedures{{
    {"JSONFormat", nullptr},
    {"Command1_Click", &detail::Run<&JSONfrm::Command1_Click>},
    {"Form_Load", &detail::Run<&JSONfrm::Form_Load>},
    {"Form_Resize", &detail::Run<&JSONfrm::Form_Resize>},
}};

/// The index of `name` in kJSONfrmProcedures; an unknown name stops the build.
constexpr std::uint32_t ProcedureIndex(std::string_view name) {
  for (std::uint32_t i = 0; i < kJSONfrmProcedures.size(); ++i) {
    if (kJSONfrmProcedures[i].name == name) return i;
  }
  throw std::invalid_argument("no such procedure");
}

std::unique_ptr<host::Form> CreateJSONfrm(host::Window& me, const host::ObjectInterfaces& interfaces);

/// The code behind the image's only object.
inline constexpr host::ObjectCode kJSONfrmCode{.create = &CreateJSONfrm,
                                               .procedures = kJSONfrmProcedures};

}  // namespace window
