#include "tests/window/fake_window.h"

namespace window::testing {
namespace {
constexpr host::Status kFailure{static_cast<std::int32_t>(0x80004005u)};
}

host::Status FakeTextBox::GetText(host::String& out) {
  if (failing.count("Text")) return kFailure;
  out = text;
  return host::kOk;
}

host::Status FakeTextBox::PutText(host::String value) {
  if (failing.count("Text")) return kFailure;
  text.assign(value);
  return host::kOk;
}

host::Status FakeTextBox::Write(const char* member, float& property, float value) {
  if (failing.count(member)) return kFailure;
  property = value;
  if (log) log->push_back(name_ + "." + member + "=" + std::to_string(static_cast<int>(value)));
  return host::kOk;
}

host::Status FakeTextBox::PutLeft(float twips) { return Write("Left", left, twips); }
host::Status FakeTextBox::PutTop(float twips) { return Write("Top", top, twips); }
host::Status FakeTextBox::PutWidth(float twips) { return Write("Width", width, twips); }
host::Status FakeTextBox::PutHeight(float twips) { return Write("Height", height, twips); }

FakeWindow::FakeWindow() {
  inputs.log = &log;
  outputs.log = &log;
}

host::Status FakeWindow::Read(const char* member, float value, float& out) {
  if (failing.count(member)) return kFailure;
  out = value;
  return host::kOk;
}

host::Status FakeWindow::GetHeight(float& twips) { return Read("Height", height, twips); }
host::Status FakeWindow::GetWidth(float& twips) { return Read("Width", width, twips); }
host::Status FakeWindow::GetScaleHeight(float& twips) { return Read("ScaleHeight", scale_height, twips); }
host::Status FakeWindow::GetScaleWidth(float& twips) { return Read("ScaleWidth", scale_width, twips); }

host::Status FakeWindow::GetWindowState(std::int16_t& out) {
  if (failing.count("WindowState")) return kFailure;
  out = state;
  return host::kOk;
}

host::Status FakeWindow::GetTextBox(std::string_view name, host::Ref<host::TextBox>& box) {
  if (failing.count(std::string(name))) return kFailure;
  if (name == "Inputs") box = host::Ref<host::TextBox>(&inputs);
  else if (name == "Outputs") box = host::Ref<host::TextBox>(&outputs);
  else return host::kInvalidArgument;
  return host::kOk;
}

}  // namespace window::testing
