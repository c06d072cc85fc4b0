#include "window/program.h"

#include "window/design.h"
#include "window/jsonfrm.h"

namespace window {

host::Program JSONfrmProgram() {
  return host::Program{
      .title = "Quillfen",
      .design = &kJSONfrmDesign,
      .create_form = [](host::Window& me) { return std::make_unique<JSONfrm>(me); },
  };
}

}  // namespace window
