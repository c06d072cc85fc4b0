#pragma once
#include "host/objects/controls.h"
#include "host/objects/form.h"
#include "host/runtime/status.h"
#include "host/runtime/string.h"

namespace window {

/// The program's only form, on the program side of the boundary: paste JSON
/// into Inputs, press Convert, read the readable text in Outputs. It reaches
/// its window only through host::Window.
class JSONfrm final : public host::Form {
 public:
  /// `interfaces` are the ones the project image records for JSONfrm; status
  /// checks name them.
  JSONfrm(host::Window& me, const host::ObjectInterfaces& interfaces)
      : me_(me), interfaces_(interfaces) {}

  /// The conversion, placed on the window although it uses nothing of it.
  /// A failure inside comes back as a failing status.
  host::Status JSONFormat(host::String text, host::String& result) const;

  void Command1_Click();
  void Form_Load();
  void Form_Resize();

  // Client size over outer size at load time; zero until Load has run.
  double HeightRatio = 0;
  double WidthRatio = 0;

 private:
  host::Window& me_;
  host::ObjectInterfaces interfaces_;
};

}  // namespace window
