#pragma once
// A small project image for the start routine: window "Main" with one
// button, and three procedures that note in a log that they ran.
#include <array>
#include <string>
#include <vector>

#include "host/objects/backend.h"
#include "host/records/design_writer.h"
#include "host/records/project_writer.h"
#include "host/runtime/runtime_error.h"

namespace host::testing {

/// The form of the test image. It finds its log and the procedure to fail
/// through the window it is made for.
class LoggingForm final : public Form {
 public:
  struct Script {
    std::vector<std::string>* log = nullptr;
    std::string failing;  // the procedure that raises an Overflow
  };
  explicit LoggingForm(const Script& script) : script_(script) {}

  void Ran(const char* procedure) {
    script_.log->push_back(procedure);
    if (script_.failing == procedure) throw RuntimeError(ErrorNumber::kOverflow, "Overflow");
  }

 private:
  Script script_;
};

/// A window that logs its showing and hands its script to the form made
/// for it.
class ScriptWindow final : public NativeWindow {
 public:
  explicit ScriptWindow(std::vector<std::string>& log) { script.log = &log; }
  Status GetHeight(float&) override { return kOk; }
  Status GetWidth(float&) override { return kOk; }
  Status GetScaleHeight(float&) override { return kOk; }
  Status GetScaleWidth(float&) override { return kOk; }
  Status GetWindowState(std::int16_t&) override { return kOk; }
  Status GetTextBox(std::string_view, Ref<TextBox>&) override { return kInvalidArgument; }
  void Show() override { script.log->push_back("show"); }

  LoggingForm::Script script;
  ObjectInterfaces interfaces;  // what the form was made with
};

inline std::unique_ptr<Form> CreateLoggingForm(Window& me, const ObjectInterfaces& interfaces) {
  auto& window = static_cast<ScriptWindow&>(me);
  window.interfaces = interfaces;
  return std::make_unique<LoggingForm>(window.script);
}

template <const char* Name>
void Log(Form& form) {
  static_cast<LoggingForm&>(form).Ran(Name);
}
inline constexpr char kLoad[] = "Main_Load";
inline constexpr char kResize[] = "Main_Resize";
inline constexpr char kClick[] = "Button_Click";

inline constexpr Guid kMainId{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
inline constexpr Guid kMainInterface{12, 13, 14, {15, 16, 17, 18, 19, 20, 21, 22}};
inline constexpr Guid kMainMembers{23, 24, 25, {26, 27, 28, 29, 30, 31, 32, 33}};

inline constexpr std::array<ControlDesign, 1> kMainControls{{
    {.id = 1, .name = "Button", .kind = ControlKind::kCommandButton, .caption = "Go",
     .rect = {10, 20, 300, 400}, .tab_index = 0},
}};
inline constexpr WindowDesign kMainDesign{.name = "Main",
                                          .object_id = kMainId,
                                          .interface_id = kMainInterface,
                                          .caption = "Main window",
                                          .link_topic = "",
                                          .client = {0, 0, 3000, 2000},
                                          .controls = kMainControls};
inline constexpr auto kMainDesignWriter = design_record::Encode<512>(kMainDesign);
inline constexpr auto kMainDesignRecord = Trimmed<kMainDesignWriter.Offset()>(kMainDesignWriter);

inline constexpr std::array<Procedure, 4> kMainProcedures{{
    {"Helper", nullptr},
    {kLoad, &Log<kLoad>},
    {kResize, &Log<kResize>},
    {kClick, &Log<kClick>},
}};
inline constexpr auto kMainProcedureNames = NamesOf(kMainProcedures);
inline constexpr ObjectCode kMainCode{.create = &CreateLoggingForm, .procedures = kMainProcedures};

inline constexpr std::array<project::EventHandler, 2> kMainEvents{{
    {Event::kLoad, 1},
    {Event::kResize, 2},
}};
inline constexpr std::array<project::EventHandler, 1> kButtonEvents{{{Event::kClick, 3}}};
inline constexpr std::array<project::ControlEvents, 2> kMainControlTable{{
    {"Main", kMainEvents},
    {"Button", kButtonEvents},
}};

inline constexpr project::ProjectDescription kMainProject{
    .language_library = "*",
    .second_language_library = "~",
    .control_kinds = 1u << 4 | 1u << 13,
    .project_name = "Title",
    .object = {.name = "Main",
               .procedures = kMainProcedureNames,
               .interfaces = {.object = kMainMembers, .window = kMainInterface},
               .controls = kMainControlTable},
    .window_object_id = kMainId,
    .design_record = kMainDesignRecord,
};
inline constexpr auto kMainImageWriter = project::Encode<1024>(kMainProject);
inline constexpr auto kMainImage = Trimmed<kMainImageWriter.Offset()>(kMainImageWriter);

}  // namespace host::testing
