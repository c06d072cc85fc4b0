#pragma once
#include <string_view>

namespace window {

/// The names of JSONfrm and its controls, spelled once: the design, the
/// project image's control table and the handlers all use these.
inline constexpr std::string_view kJSONfrm = "JSONfrm";
inline constexpr std::string_view kOutputs = "Outputs";
inline constexpr std::string_view kCommand1 = "Command1";
inline constexpr std::string_view kInputs = "Inputs";
inline constexpr std::string_view kLabel2 = "Label2";
inline constexpr std::string_view kLabel1 = "Label1";

}  // namespace window
