#include "host/textbox/code_points.h"

#include <gtest/gtest.h>

#include "host/textbox/text_navigation.h"
#include "host/textbox/undo_stack.h"

namespace host {
namespace {

struct DecodeCase {
  const char* name;
  StringView text;
  std::size_t offset;
  char32_t value;
  std::size_t units;
};

TEST(CodePoints, PairsDecodeWholeAndLoneHalvesStandAlone) {
  const DecodeCase cases[] = {
      {"ascii", u"a", 0, U'a', 1},
      {"lowest pair", u"\xD800\xDC00", 0, 0x10000, 2},
      {"highest pair", u"\xDBFF\xDFFF", 0, 0x10FFFF, 2},
      {"emoji", u"x\U0001F600", 1, 0x1F600, 2},
      {"high half at the end", u"x\xD83D", 1, 0xD83D, 1},
      {"low half first", u"\xDE00\xD83D", 0, 0xDE00, 1},
      {"high half before a non-surrogate", u"\xD83Dx", 0, 0xD83D, 1},
      {"the low half of a pair on its own", u"\xD83D\xDE00", 1, 0xDE00, 1},
      {"past the end", u"ab", 2, 0, 0},
  };
  for (const DecodeCase& test : cases) {
    const CodePoint decoded = CodePointAt(test.text, test.offset);
    EXPECT_EQ(decoded.value, test.value) << test.name;
    EXPECT_EQ(decoded.units, test.units) << test.name;
  }
}

struct BlankCase {
  char16_t unit;
  bool blank;
};

// Unicode's White_Space characters, and the zero-width space; nothing else,
// however much it looks like a space or a break.
constexpr BlankCase kBlanks[] = {
    {u' ', true},     {u'\t', true},    {u'\n', true},    {0x0B, true},     {0x0C, true},
    {u'\r', true},    {0x85, true},     {0xA0, true},     {0x1680, true},   {0x2000, true},
    {0x2007, true},   {0x200A, true},   {0x200B, true},   {0x2028, true},   {0x2029, true},
    {0x202F, true},   {0x205F, true},   {0x3000, true},   {0x08, false},    {0x0E, false},
    {0x1F, false},    {u'a', false},    {u'_', false},    {u'.', false},    {0x84, false},
    {0x200C, false},  {0x200D, false},  {0x2060, false},  {0xFEFF, false},  {0x180E, false},
    {0xD800, false},  {0xDC00, false},
};

TEST(CodePoints, BlankIsTheSameForWordMovementAndForUndo) {
  for (const BlankCase& test : kBlanks) {
    EXPECT_EQ(IsBlank(test.unit), test.blank) << std::hex << int{test.unit};
    // Word movement from "(" skips a blank after it and lands on the second
    // "("; anything else either joins the run of "(" or stops the movement.
    const String brackets = String(u"(") + test.unit + u"(";
    EXPECT_EQ(NextWordStart(brackets, 0) == 2, test.blank) << std::hex << int{test.unit};
    // Typing a word after a blank starts a new undo step.
    const String text = String(u"ab") + test.unit + u"c";
    TextBuffer buffer;
    UndoStack undo;
    for (const char16_t unit : StringView(text)) {
      buffer.Replace(buffer.Size(), 0, String(1, unit));
      undo.Record(buffer, EditKind::kTyping, buffer.Size() - 1, String(), 1);
    }
    undo.Undo(buffer);
    EXPECT_EQ(buffer.Text(), test.blank ? text.substr(0, 3) : String()) << std::hex << int{test.unit};
  }
}

}  // namespace
}  // namespace host
