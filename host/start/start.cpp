#include "host/start/start.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "host/records/byte_reader.h"
#include "host/records/design_format.h"
#include "host/start/dispatch.h"
#include "host/records/project_format.h"
#include "host/start/report.h"

namespace host {
namespace {

[[noreturn]] void Disagree(std::string_view record, const std::string& problem) {
  throw RecordError(std::string(record) + ": " + problem);
}

void CheckProcedures(const ImageObject& object, std::span<const Procedure> code) {
  const std::string record = "procedure table of " + std::string(object.name);
  if (object.procedures.size() != code.size()) {
    Disagree(record, "the image lists " + std::to_string(object.procedures.size()) +
                         " procedures, the program has " + std::to_string(code.size()));
  }
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (object.procedures[i] != code[i].name) {
      Disagree(record, "procedure " + std::to_string(i) + " is " + std::string(object.procedures[i]) +
                           " in the image but " + std::string(code[i].name) + " in the program");
    }
  }
}

void CheckDesign(const ByteReader& header, const ProjectImage& project, const ImageWindow& window,
                 const ImageObject& object, const WindowDesign& design) {
  if (design.name != object.name) {
    Disagree("design record", "describes " + std::string(design.name) + ", but its window's object is " +
                                  std::string(object.name));
  }
  if (design.object_id != window.object_id) {
    Disagree("design record", "object identifier " + design.object_id.ToString() +
                                  " differs from the window table's " + window.object_id.ToString());
  }
  if (design.interface_id != object.interfaces.window) {
    Disagree("design record", "interface identifier " + design.interface_id.ToString() +
                                  " differs from the object table's " + object.interfaces.window.ToString());
  }
  const auto check_kind = [&](std::string_view name, ControlKind kind) {
    const auto bit = static_cast<unsigned>(kind);
    if ((project.header.control_kinds >> bit & 1u) == 0) {
      header.FailAt(project::field::kControlKinds, "control kinds",
                  "lack kind " + std::to_string(bit) + " (" + design_record::KindName(kind) +
                      ") of " + std::string(name));
    }
  };
  check_kind(design.name, ControlKind::kWindow);
  for (const ControlDesign& control : design.controls) check_kind(control.name, control.kind);
}

EventBindings Bind(const ImageObject& object, const WindowDesign& design,
                   std::span<const Procedure> code) {
  EventBindings bindings;
  for (const ImageControl& control : object.controls) {
    const bool designed =
        control.name == design.name ||
        std::ranges::any_of(design.controls, [&](const ControlDesign& c) { return c.name == control.name; });
    if (!designed) {
      Disagree("control table of " + std::string(object.name),
               std::string(control.name) + " is not in the window's design");
    }
    for (std::size_t event = 0; event < control.handlers.size(); ++event) {
      const std::uint32_t index = control.handlers[event];
      if (index == project::kNoHandler) continue;
      const std::string where = "event table of " + std::string(control.name);
      if (event > std::numeric_limits<std::underlying_type_t<Event>>::max()) {
        Disagree(where, "event " + std::to_string(event) + " is beyond any event the host raises");
      }
      const Procedure& procedure = code[index];  // the reader checked the index
      if (procedure.run == nullptr) {
        Disagree(where, "event " + std::to_string(event) + " is bound to " + std::string(procedure.name) +
                            ", which takes arguments and handles no event");
      }
      bindings.Bind(control.name, static_cast<Event>(event), procedure);
    }
  }
  return bindings;
}

}  // namespace

ObjectInterfaces InterfacesOf(const ImageObject& object) {
  return {.object = object.interfaces.object, .window = object.interfaces.window};
}

StartPlan PlanStart(std::span<const std::uint8_t> image, const ObjectCode& code) {
  if (code.create == nullptr) throw std::invalid_argument("the program's code has no form to create");
  ProjectImage project = ReadProjectImage(image);
  const ByteReader header(image, "project header");
  if (project.header.start_up_procedure != 0) {
    header.FailAt(project::field::kStartUpProcedure, "start-up procedure address",
                  "is " + std::to_string(project.header.start_up_procedure) +
                      ", but only a window can start the program");
  }
  if (project.windows.size() != 1) {
    header.FailAt(project::field::kWindowCount, "window count",
                  "is " + std::to_string(project.windows.size()) +
                      ", but the program starts from its only window");
  }
  const ImageWindow& window = project.windows.front();
  const ImageObject& object = project.objects[window.object];
  CheckProcedures(object, code.procedures);
  DesignRecord design(window.design_record);
  CheckDesign(header, project, window, object, design.Design());
  EventBindings bindings = Bind(object, design.Design(), code.procedures);
  const std::string_view title = project.header.project_name;
  const std::size_t object_index = window.object;
  return StartPlan{.project = std::move(project),
                   .object = object_index,
                   .design = std::move(design),
                   .bindings = std::move(bindings),
                   .title = title};
}

int Start(Backend& backend, std::span<const std::uint8_t> image, const ObjectCode& code) {
  std::optional<StartPlan> plan;
  try {
    plan.emplace(PlanStart(image, code));
  } catch (const RecordError& error) {
    ReportStartUpError(backend, error);
    return kMalformedImageStatus;
  }
  const WindowDesign& design = plan->design.Design();
  Dispatcher dispatcher(backend, plan->title);
  NativeWindow* built = nullptr;
  try {
    built = &backend.CreateWindow(design, dispatcher);
  } catch (const RuntimeError& error) {
    // The window system failed while building the window.
    Report(backend, plan->title, error);
    return kFailureExitStatus;
  }
  NativeWindow& window = *built;
  const std::unique_ptr<Form> form = code.create(window, InterfacesOf(plan->project.objects[plan->object]));
  dispatcher.Attach(*form, plan->bindings);
  dispatcher.Raise(design.name, Event::kLoad);
  if (dispatcher.Failure() != 0) return dispatcher.Failure();
  window.Show();
  const int status = backend.Run();
  return dispatcher.Failure() != 0 ? dispatcher.Failure() : status;
}

}  // namespace host
