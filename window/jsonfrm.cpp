#include "window/jsonfrm.h"

#include <cstdint>
#include <utility>

#include "convert/json_format.h"
#include "host/runtime/arithmetic.h"
#include "host/runtime/runtime_error.h"
#include "window/identifiers.h"
#include "window/names.h"

namespace window {
namespace {

using host::Check;
using host::Ref;

// Layout allowances and design positions, twips.
constexpr float kHeightAllowance = 1800;
constexpr float kWidthAllowance = 1330;
constexpr float kOutputsTop = 1320;
constexpr float kInputsTop = 360;
constexpr float kBoxesLeft = 960;

Ref<host::TextBox> TextBoxOf(host::Window& me, const host::Guid& window, std::string_view name) {
  Ref<host::TextBox> box;
  Check(me.GetTextBox(name, box), kJSONfrm, window, name);
  return box;
}

float Read(host::Window& me, const host::Guid& window, host::Status (host::Window::*get)(float&),
           std::string_view member) {
  float value = 0;
  Check((me.*get)(value), kJSONfrm, window, member);
  return value;
}

void Put(host::TextBox& box, host::Status (host::TextBox::*put)(float), float value,
         std::string_view name, std::string_view member) {
  Check((box.*put)(value), name, kTextBoxInterface, member);
}

// (reading - allowance) * ratio, each step checked, rounded to single.
float Scaled(float reading, float allowance, double ratio) {
  return host::CheckedToSingle(
      host::CheckedMultiply(host::CheckedSubtract(reading, allowance), ratio));
}

}  // namespace

host::Status JSONfrm::JSONFormat(host::String text, host::String& result) const {
  try {
    result = convert::JSONFormat(std::move(text));
    return host::kOk;
  } catch (const host::RuntimeError& error) {
    return error.Number() == host::ErrorNumber::kOutOfMemory ? host::kOutOfMemory
                                                             : host::kUnexpected;
  } catch (const std::bad_alloc&) {
    return host::kOutOfMemory;
  }
}

void JSONfrm::Command1_Click() {
  const Ref<host::Window> me(&me_);
  const Ref<host::TextBox> outputs = TextBoxOf(*me, interfaces_.window, kOutputs);
  host::String readable;
  {
    host::String input;
    {
      const Ref<host::TextBox> inputs = TextBoxOf(*me, interfaces_.window, kInputs);
      Check(inputs->GetText(input), kInputs, kTextBoxInterface, "Text");
    }
    // The copy of the input is the conversion's to release; the result is
    // Outputs' own text once handed over. A long text is never held thrice.
    Check(JSONFormat(std::move(input), readable), kJSONfrm, interfaces_.object, "JSONFormat");
  }
  Check(outputs->PutText(std::move(readable)), kOutputs, kTextBoxInterface, "Text");
}

void JSONfrm::Form_Load() {
  const Ref<host::Window> me(&me_);
  const float height = Read(*me, interfaces_.window, &host::Window::GetHeight, "Height");
  const float scale_height = Read(*me, interfaces_.window, &host::Window::GetScaleHeight, "ScaleHeight");
  HeightRatio = host::CheckedDivide(scale_height, height);
  const float width = Read(*me, interfaces_.window, &host::Window::GetWidth, "Width");
  const float scale_width = Read(*me, interfaces_.window, &host::Window::GetScaleWidth, "ScaleWidth");
  WidthRatio = host::CheckedDivide(scale_width, width);
}

void JSONfrm::Form_Resize() {
  const Ref<host::Window> me(&me_);
  std::int16_t state = 0;
  Check(me->GetWindowState(state), kJSONfrm, interfaces_.window, "WindowState");
  if (state == static_cast<std::int16_t>(host::WindowState::kMinimized)) return;

  const Ref<host::TextBox> outputs = TextBoxOf(*me, interfaces_.window, kOutputs);
  const Ref<host::TextBox> inputs = TextBoxOf(*me, interfaces_.window, kInputs);
  Put(*outputs, &host::TextBox::PutTop, kOutputsTop, kOutputs, "Top");
  Put(*inputs, &host::TextBox::PutTop, kInputsTop, kInputs, "Top");
  Put(*outputs, &host::TextBox::PutLeft, kBoxesLeft, kOutputs, "Left");
  Put(*inputs, &host::TextBox::PutLeft, kBoxesLeft, kInputs, "Left");

  const float height = Read(*me, interfaces_.window, &host::Window::GetHeight, "Height");
  Put(*outputs, &host::TextBox::PutHeight, Scaled(height, kHeightAllowance, HeightRatio),
      kOutputs, "Height");
  const float width = Read(*me, interfaces_.window, &host::Window::GetWidth, "Width");
  Put(*outputs, &host::TextBox::PutWidth, Scaled(width, kWidthAllowance, WidthRatio), kOutputs,
      "Width");
  const float width_again = Read(*me, interfaces_.window, &host::Window::GetWidth, "Width");
  Put(*inputs, &host::TextBox::PutWidth, Scaled(width_again, kWidthAllowance, WidthRatio),
      kInputs, "Width");
}

}  // namespace window
