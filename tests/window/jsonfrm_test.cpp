#include "window/jsonfrm.h"

#include <gtest/gtest.h>

#include "host/runtime/runtime_error.h"
#include "tests/window/fake_window.h"
#include "tests/window/image_interfaces.h"
#include "window/identifiers.h"

namespace window {
namespace {

using testing::FakeWindow;

class Convert : public ::testing::Test {
 protected:
  void ExpectNoReferencesHeld() {
    EXPECT_EQ(window.References(), 1);
    EXPECT_EQ(window.inputs.References(), 1);
    EXPECT_EQ(window.outputs.References(), 1);
  }

  FakeWindow window;
  JSONfrm form{window, testing::ImageInterfaces()};
};

TEST_F(Convert, FillsOutputsWithTheReadableTextAndLeavesInputsAlone) {
  window.inputs.text = u"{\"a\":1,\"b\":{\"c\":2}}";
  window.outputs.text = u"typed by the user";
  form.Command1_Click();
  EXPECT_EQ(window.outputs.text, u"{\r\n\"a\":1\r\n\"b\":{\r\n\"c\":2\r\n}\r\n}");
  EXPECT_EQ(window.inputs.text, u"{\"a\":1,\"b\":{\"c\":2}}");
  ExpectNoReferencesHeld();
}

TEST_F(Convert, EmptyInputsEmptiesOutputs) {
  window.outputs.text = u"old";
  form.Command1_Click();
  EXPECT_EQ(window.outputs.text, u"");
}

TEST_F(Convert, TwiceGivesTheSameOutput) {
  window.inputs.text = u"[1,2,{}]";
  form.Command1_Click();
  const host::String first = window.outputs.text;
  form.Command1_Click();
  EXPECT_EQ(window.outputs.text, first);
}

struct FailureCase {
  const char* name;
  bool on_window;        // the failing member belongs to the window (control lookup)
  const char* member;    // member made to fail
  const char* object;    // object the error must name
  const char* reported;  // member the error must name
};

class ConvertFailure : public Convert, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConvertFailure, NamesObjectInterfaceAndMemberAndReleasesEverything) {
  const FailureCase& c = GetParam();
  window.inputs.text = u"{}";
  window.outputs.text = u"before";
  if (c.on_window) {
    window.failing.insert(c.member);
  } else if (std::string(c.object) == "Inputs") {
    window.inputs.failing.insert(c.member);
  } else {
    window.outputs.failing.insert(c.member);
  }
  try {
    form.Command1_Click();
    FAIL() << "no error";
  } catch (const host::StatusError& error) {
    EXPECT_EQ(error.Object(), c.object);
    EXPECT_EQ(error.Member(), c.reported);
    EXPECT_EQ(error.Interface(),
              std::string(c.object) == "JSONfrm" ? kJSONfrmInterface : kTextBoxInterface);
  }
  EXPECT_EQ(window.outputs.text, u"before");
  ExpectNoReferencesHeld();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertFailure,
    ::testing::Values(FailureCase{"outputs_lookup", true, "Outputs", "JSONfrm", "Outputs"},
                      FailureCase{"inputs_lookup", true, "Inputs", "JSONfrm", "Inputs"},
                      FailureCase{"read_inputs", false, "Text", "Inputs", "Text"},
                      FailureCase{"write_outputs", false, "Text", "Outputs", "Text"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JSONFormatMember, ReturnsConvertedTextWithSuccess) {
  FakeWindow window;
  const JSONfrm form(window, testing::ImageInterfaces());
  host::String result;
  EXPECT_EQ(form.JSONFormat(u"a,b", result), host::kOk);
  EXPECT_EQ(result, u"a\r\nb");
}

}  // namespace
}  // namespace window
