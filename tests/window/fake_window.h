#pragma once
// A window and text boxes held in memory, for testing the handlers without
// a window system. Any member can be made to fail.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/objects/controls.h"

namespace window::testing {

class FakeTextBox final : public host::TextBox {
 public:
  explicit FakeTextBox(std::string name) : name_(std::move(name)) {}

  host::Status GetText(host::String& text) override;
  host::Status PutText(host::String text) override;
  host::Status PutLeft(float twips) override;
  host::Status PutTop(float twips) override;
  host::Status PutWidth(float twips) override;
  host::Status PutHeight(float twips) override;

  host::String text;
  float left = 0, top = 0, width = 0, height = 0;
  std::set<std::string> failing;     // members that return a failing status
  std::vector<std::string>* log = nullptr;  // "Outputs.Top=1320" per write

 private:
  host::Status Write(const char* member, float& property, float value);
  std::string name_;
};

class FakeWindow final : public host::Window {
 public:
  FakeWindow();

  host::Status GetHeight(float& twips) override;
  host::Status GetWidth(float& twips) override;
  host::Status GetScaleHeight(float& twips) override;
  host::Status GetScaleWidth(float& twips) override;
  host::Status GetWindowState(std::int16_t& state) override;
  host::Status GetTextBox(std::string_view name, host::Ref<host::TextBox>& box) override;

  float height = 11400, width = 6855, scale_height = 10890, scale_width = 6615;
  std::int16_t state = 0;
  std::set<std::string> failing;
  std::vector<std::string> log;
  FakeTextBox inputs{"Inputs"};
  FakeTextBox outputs{"Outputs"};

 private:
  host::Status Read(const char* member, float value, float& out);
};

}  // namespace window::testing
