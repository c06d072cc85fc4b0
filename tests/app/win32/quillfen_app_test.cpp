// Starts quillfen.exe and checks the conversion through the messages any
// other program could send it.
#include "tests/app/win32/running_program.h"

namespace quillfen_app_testing {
namespace {

struct Conversion {
  const char* name;
  std::u16string input;
  std::u16string output;
};

std::u16string Repeated(std::u16string_view piece, std::size_t times) {
  std::u16string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// Just over a megabyte of input in pieces of 11 code units.
constexpr std::size_t kMegabytePieces = (1u << 20) / 11 + 1;

class Converting : public ProgramTest, public ::testing::WithParamInterface<Conversion> {};

TEST_P(Converting, ConvertShowsTheReadableTextAndLeavesInputsAlone) {
  const Conversion& conversion = GetParam();
  SetText(program_->Control(kOutputsId), u"typed before");
  SetText(program_->Control(kInputsId), conversion.input);
  ASSERT_EQ(TextOf(program_->Control(kInputsId)).size(), conversion.input.size());
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  const std::u16string output = TextOf(program_->Control(kOutputsId));
  ASSERT_EQ(output.size(), conversion.output.size());
  EXPECT_TRUE(output == conversion.output) << "differs in content";
  EXPECT_TRUE(TextOf(program_->Control(kInputsId)) == conversion.input);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Converting,
    ::testing::Values(
        Conversion{"Empty", u"", u""}, Conversion{"Plain", u"abc", u"abc"},
        Conversion{"Nested", u"{\"a\":1,\"b\":{\"c\":2}}",
                   u"{\r\n\"a\":1\r\n\"b\":{\r\n\"c\":2\r\n}\r\n}"},
        Conversion{"EmptyObject", u"{}", u"{\r\n\r\n}"},
        Conversion{"Array", u"[1,2,3]", u"[1\r\n2\r\n3]"},
        Conversion{"ClosingThenOpening", u"},{", u"\r\n}\r\n{\r\n"},
        Conversion{"CommaInAString", u"{\"s\":\"x,y\"}", u"{\r\n\"s\":\"x\r\ny\"\r\n}"},
        Conversion{"InputLineEndsLeaveTheirCr", u"{\r\n\t\"a\": 1\r\n}",
                   u"{\r\n\r\"a\": 1\r\r\n}"},
        Conversion{"LoneCrSurvives", u"a\rb", u"a\rb"},
        Conversion{"SurrogatePairs", u"{\"\U0001F600\":\"\U00010348\"}",
                   u"{\r\n\"\U0001F600\":\"\U00010348\"\r\n}"},
        Conversion{"LoneSurrogate", std::u16string{u'{', char16_t{0xD83D}, u','},
                   std::u16string{u'{', u'\r', u'\n', char16_t{0xD83D}, u'\r', u'\n'}}),
    [](const ::testing::TestParamInfo<Conversion>& info) { return std::string(info.param.name); });

// Puts a text on the clipboard, or reads the text there, as the user's
// other programs would.
bool OpenTheClipboard() {
  return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; });
}

void PutOnClipboard(const std::u16string& text) {
  ASSERT_TRUE(OpenTheClipboard());
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  ASSERT_NE(memory, nullptr);
  auto* copy = static_cast<char16_t*>(GlobalLock(memory));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
  GlobalUnlock(memory);
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
}

std::u16string ClipboardText() {
  if (!OpenTheClipboard()) return u"(clipboard not available)";
  std::u16string text;
  if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
    const auto* units = static_cast<const char16_t*>(GlobalLock(memory));
    const std::size_t capacity = GlobalSize(memory) / sizeof(char16_t);
    text.assign(units, std::find(units, units + capacity, u'\0'));
    GlobalUnlock(memory);
  }
  CloseClipboard();
  return text;
}

// What a user gets who pastes `input` into an emptied Inputs, presses
// Convert and copies the whole of Outputs.
std::u16string PastedConvertedAndCopied(RunningProgram& program, const std::u16string& input) {
  HWND inputs = program.Control(kInputsId);
  HWND outputs = program.Control(kOutputsId);
  SetText(inputs, u"");
  PutOnClipboard(input);
  SendMessageW(inputs, WM_PASTE, 0, 0);
  EXPECT_EQ(static_cast<std::size_t>(SendMessageW(inputs, WM_GETTEXTLENGTH, 0, 0)), input.size());
  SendMessageW(program.Control(kCommand1Id), BM_CLICK, 0, 0);
  SendMessageW(outputs, EM_SETSEL, 0, -1);
  SendMessageW(outputs, WM_COPY, 0, 0);
  return ClipboardText();
}

// Over a megabyte in and out the way a user moves it: pasted into Inputs
// and copied out of Outputs. (A text that large does not fit in one
// message sent from another process under every system.)
TEST_F(ProgramTest, AMegabytePastedInIsConvertedAndCopiedOutWhole) {
  const std::u16string input = Repeated(u"{\"k\":[1,2]}", kMegabytePieces);
  const std::u16string output = PastedConvertedAndCopied(*program_, input);
  const std::u16string expected = Repeated(u"{\r\n\"k\":[1\r\n2]\r\n}", kMegabytePieces);
  ASSERT_EQ(output.size(), expected.size());
  EXPECT_TRUE(output == expected) << "differs in content";
}

// Ten megabytes of minified JSON, as an API answers, pasted into Inputs,
// converted, and copied out of Outputs, through the real window.
TEST_F(ProgramTest, TenMegabytesOfMinifiedJsonAreConvertedExactly) {
  std::u16string input = u"[";
  std::u16string expected = u"[";
  for (std::size_t record = 0; input.size() < 10'000'000; ++record) {
    const std::u16string id(std::u16string_view(u"0123456789").substr(record % 10, 1));
    if (record != 0) {
      input += u",";
      expected += u"\r\n";
    }
    input += u"{\"id\":" + id + u",\"name\":\"n\u00E9" + id + u"\",\"tags\":[\"a\",true],\"at\":{\"x\":1.5}}";
    expected += u"{\r\n\"id\":" + id + u"\r\n\"name\":\"n\u00E9" + id + u"\"\r\n\"tags\":[\"a\"\r\ntrue]\r\n\"at\":{\r\n\"x\":1.5\r\n}\r\n}";
  }
  input += u"]";
  expected += u"]";
  const std::u16string output = PastedConvertedAndCopied(*program_, input);
  HWND outputs = program_->Control(kOutputsId);
  ASSERT_EQ(static_cast<std::size_t>(SendMessageW(outputs, WM_GETTEXTLENGTH, 0, 0)), expected.size());
  ASSERT_EQ(output.size(), expected.size());
  EXPECT_TRUE(output == expected) << "differs in content";
  EXPECT_EQ(SendMessageW(outputs, EM_GETLINECOUNT, 0, 0),
            static_cast<LRESULT>(std::count(expected.begin(), expected.end(), u'\n') + 1));
}

TEST_F(ProgramTest, ConvertingTwiceGivesTheSameText) {
  SetText(program_->Control(kInputsId), u"{\"a\":[1,2]}");
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  const std::u16string first = TextOf(program_->Control(kOutputsId));
  SendMessageW(program_->Control(kCommand1Id), BM_CLICK, 0, 0);
  EXPECT_TRUE(TextOf(program_->Control(kOutputsId)) == first);
  EXPECT_TRUE(first == u"{\r\n\"a\":[1\r\n2]\r\n}");
}

}  // namespace
}  // namespace quillfen_app_testing
