#include "host/textbox/text_document.h"

#include <gtest/gtest.h>

#include <vector>

namespace host {
namespace {

// One command given to a document, as a key or a menu gives it.
enum class Do { kMove, kMoveLines, kType, kBackspace, kDelete, kPaste, kSelectAll, kUndo, kRedo };

struct Step {
  Do what;
  Motion motion = Motion::kLeft;
  bool flag = false;  // extend the selection, or a whole word
  std::ptrdiff_t lines = 0;
  StringView text = {};
};

Step Go(Motion motion, bool extend = false) { return {Do::kMove, motion, extend}; }
Step Lines(std::ptrdiff_t lines, bool extend = false) { return {Do::kMoveLines, Motion::kLeft, extend, lines}; }
Step Type(StringView text) { return {Do::kType, Motion::kLeft, false, 0, text}; }
Step Paste(StringView text) { return {Do::kPaste, Motion::kLeft, false, 0, text}; }
Step Backspace(bool word = false) { return {Do::kBackspace, Motion::kLeft, word}; }
Step Delete(bool word = false) { return {Do::kDelete, Motion::kLeft, word}; }
constexpr Step kSelectAll{Do::kSelectAll};
constexpr Step kUndo{Do::kUndo};
constexpr Step kRedo{Do::kRedo};

void Apply(TextDocument& document, const Step& step) {
  switch (step.what) {
    case Do::kMove: return document.Move(step.motion, step.flag);
    case Do::kMoveLines: return document.MoveLines(step.lines, step.flag);
    case Do::kType: return document.Type(step.text);
    case Do::kBackspace: return document.DeleteBackward(step.flag);
    case Do::kDelete: return document.DeleteForward(step.flag);
    case Do::kPaste: return document.Paste(String(step.text));
    case Do::kSelectAll: return document.SelectAll();
    case Do::kUndo: return document.Undo();
    case Do::kRedo: return document.Redo();
  }
}

struct EditCase {
  const char* name;
  StringView text;
  std::size_t caret;
  std::vector<Step> steps;
  StringView result;
  std::size_t anchor_after;
  std::size_t caret_after;
};

TEST(TextDocument, CommandsEditAndMoveAsAUserExpects) {
  using enum Motion;
  const EditCase cases[] = {
      {"right over CR LF", u"a\r\nb", 1, {Go(kRight)}, u"a\r\nb", 3, 3},
      {"left over CR LF", u"a\r\nb", 3, {Go(kLeft)}, u"a\r\nb", 1, 1},
      {"left over a pair", u"a\U0001F600", 3, {Go(kLeft)}, u"a\U0001F600", 1, 1},
      {"right over a lone high half", u"\xD800x", 0, {Go(kRight)}, u"\xD800x", 1, 1},
      {"right stops at the end", u"ab", 2, {Go(kRight)}, u"ab", 2, 2},
      {"extending selects", u"abc", 0, {Go(kRight, true), Go(kRight, true)}, u"abc", 0, 2},
      {"left collapses a selection to its start", u"abcd", 3, {Go(kLeft, true), Go(kLeft, true), Go(kLeft)}, u"abcd", 1, 1},
      {"right collapses a selection to its end", u"abcd", 3, {Go(kLeft, true), Go(kLeft, true), Go(kRight)}, u"abcd", 3, 3},
      {"line end", u"ab\r\ncd", 4, {Go(kLineEnd)}, u"ab\r\ncd", 6, 6},
      {"line start", u"ab\r\ncd", 5, {Go(kLineStart)}, u"ab\r\ncd", 4, 4},
      {"a lone CR does not end a line", u"a\rb\r\nc", 0, {Go(kLineEnd)}, u"a\rb\r\nc", 3, 3},
      {"text end", u"ab\r\ncd", 0, {Go(kTextEnd)}, u"ab\r\ncd", 6, 6},
      {"text start extending", u"ab\r\ncd", 5, {Go(kTextStart, true)}, u"ab\r\ncd", 5, 0},
      {"word right", u"foo bar", 0, {Go(kWordRight)}, u"foo bar", 4, 4},
      {"word left", u"foo bar", 7, {Go(kWordLeft)}, u"foo bar", 4, 4},
      {"word right stops at a line break", u"foo\r\nbar", 1, {Go(kWordRight), Go(kWordRight)}, u"foo\r\nbar", 5, 5},
      {"down keeps the column over a short line", u"abc\r\nx\r\nabc", 2, {Lines(1), Lines(1)}, u"abc\r\nx\r\nabc", 10, 10},
      {"up from the first line stays", u"abc", 1, {Lines(-1)}, u"abc", 1, 1},
      {"down extending selects a line", u"ab\r\ncd", 0, {Lines(1, true)}, u"ab\r\ncd", 0, 4},
      {"a page past the end lands on the last line", u"a\r\nb\r\nc", 0, {Lines(40)}, u"a\r\nb\r\nc", 6, 6},
      {"a page before the start lands on the first", u"a\r\nb\r\nc", 6, {Lines(-40)}, u"a\r\nb\r\nc", 0, 0},
      {"backspace takes CR LF whole", u"a\r\nb", 3, {Backspace()}, u"ab", 1, 1},
      {"backspace takes a pair whole", u"a\U0001F600", 3, {Backspace()}, u"a", 1, 1},
      {"backspace takes a lone CR", u"a\rb", 2, {Backspace()}, u"ab", 1, 1},
      {"backspace at the start does nothing", u"ab", 0, {Backspace()}, u"ab", 0, 0},
      {"word backspace takes a word", u"foo bar", 7, {Backspace(true)}, u"foo ", 4, 4},
      {"delete takes CR LF whole", u"a\r\nb", 1, {Delete()}, u"ab", 1, 1},
      {"delete takes a pair whole", u"\U0001F600a", 0, {Delete()}, u"a", 0, 0},
      {"delete at the end does nothing", u"ab", 2, {Delete()}, u"ab", 2, 2},
      {"word delete takes a word and its blanks", u"foo bar", 0, {Delete(true)}, u"bar", 0, 0},
      {"delete removes the selection", u"abc", 0, {kSelectAll, Delete()}, u"", 0, 0},
      {"a line break is CR LF", u"ab", 1, {Type(u"\r\n")}, u"a\r\nb", 3, 3},
      {"typing replaces a selection", u"abc", 0, {Go(kRight, true), Type(u"z")}, u"zbc", 1, 1},
      {"select all", u"a\r\nb", 1, {kSelectAll}, u"a\r\nb", 0, 4},
      {"paste keeps its text as it is", u"ab", 1, {Paste(u"x\ny\rz\u2029")}, u"ax\ny\rz\u2029b", 7, 7},
      {"undo selects what it puts back", u"abcd", 1, {Go(kRight, true), Go(kRight, true), Delete(), kUndo}, u"abcd", 1, 3},
      {"redo puts the caret behind", u"ab", 2, {Paste(u"xyz"), kUndo, kRedo}, u"abxyz", 5, 5},
      {"undo of a replace-all", u"old", 0, {Paste(u"x"), kUndo, kUndo}, u"", 0, 0},
      {"a pasted CR joins the LF after it", u"\n", 0, {Paste(u"a\r")}, u"a\r\n", 3, 3},
      {"the break so made goes whole", u"\n", 0, {Paste(u"a\r"), Backspace()}, u"a", 1, 1},
      {"a typed high half joins the low half after it", u"\xDE00", 0, {Type(u"\xD83D"), Type(u"x")}, u"\U0001F600x", 3, 3},
      {"a deletion that joins CR and LF", u"\rx\n", 2, {Backspace()}, u"\r\n", 0, 0},
      {"undo of that deletion", u"\rx\n", 2, {Backspace(), kUndo}, u"\rx\n", 1, 2},
      {"redo after a joining paste", u"\n", 0, {Paste(u"a\r"), kUndo, kRedo}, u"a\r\n", 3, 3},
  };
  for (const EditCase& test : cases) {
    TextDocument document;
    document.ReplaceAll(test.text);
    document.SetSelection(test.caret, test.caret);
    for (const Step& step : test.steps) Apply(document, step);
    EXPECT_EQ(document.Text(), test.result) << test.name;
    EXPECT_EQ(document.Anchor(), test.anchor_after) << test.name;
    EXPECT_EQ(document.Caret(), test.caret_after) << test.name;
  }
}

struct ExactCase {
  const char* name;
  StringView text;
  std::size_t lines;
};

// Texts with NUL inside need their length spelled out.
constexpr char16_t kNul[] = {u'a', 0, u'b', 0};

TEST(TextDocument, TextReadsBackExactlyWhatWasWritten) {
  const ExactCase cases[] = {
      {"empty", u"", 1},
      {"lone CR", u"a\rb", 1},
      {"lone LF", u"a\nb", 1},
      {"CR LF", u"a\r\nb", 2},
      {"LF CR", u"a\n\rb", 1},
      {"CR CR LF LF", u"\r\r\n\n", 2},
      {"line separator", u"a\u2028b", 1},
      {"paragraph separator", u"a\u2029b", 1},
      {"no-break space", u"a\u00A0b", 1},
      {"lone high surrogate", u"a\xD800", 1},
      {"lone low surrogate", u"\xDC00z", 1},
      {"reversed pair", u"\xDE00\xD83D", 1},
      {"pair", u"\U0001F600", 1},
      {"NUL", StringView(kNul, 4), 1},
      {"trailing break", u"x\r\n", 2},
  };
  TextDocument document;
  for (const ExactCase& test : cases) {
    document.ReplaceAll(test.text);
    EXPECT_EQ(document.Text(), test.text) << test.name;
    EXPECT_EQ(document.LineCount(), test.lines) << test.name;
    EXPECT_EQ(document.Caret(), 0u) << test.name;
  }
}

TEST(TextDocument, UndoAndRedoGiveBackTheExactEarlierTexts) {
  TextDocument document;
  const String first = u"{\r\n\"a\":1\r\n}\r";
  document.ReplaceAll(first);
  document.Move(Motion::kTextEnd, false);
  for (const char16_t unit : StringView(u"xy zw")) document.Type(String(1, unit));
  document.DeleteBackward(false);
  EXPECT_EQ(document.Text(), first + u"xy z");
  const String second = String(u"new\u2029") + String(3, u'\0');
  document.ReplaceAll(second);
  const String undone[] = {first + u"xy z", first + u"xy zw", first + u"xy ", first, u""};
  for (const String& text : undone) {
    document.Undo();
    EXPECT_EQ(document.Text(), text);
  }
  EXPECT_FALSE(document.CanUndo());
  for (int i = 0; i < 5; ++i) document.Redo();
  EXPECT_EQ(document.Text(), second);
  EXPECT_FALSE(document.CanRedo());
}

// A view's boundaries that keep a letter and the combining marks after it
// (U+0300 to U+036F) together.
std::size_t MarksWithTheirLetter(StringView line, std::size_t offset, bool forward) {
  auto is_mark = [&](std::size_t at) { return at < line.size() && line[at] >= 0x300 && line[at] <= 0x36F; };
  if (forward) {
    ++offset;
    while (is_mark(offset)) ++offset;
  } else {
    --offset;
    while (offset > 0 && is_mark(offset)) --offset;
  }
  return offset;
}

TEST(TextDocument, CharacterStepsFollowTheViewsClusterBoundaries) {
  using enum Motion;
  const EditCase cases[] = {
      {"right over a letter and its marks", u"e\u0301\u0302x", 0, {Go(kRight)}, u"e\u0301\u0302x", 3, 3},
      {"left over a letter and its marks", u"xe\u0301", 3, {Go(kLeft)}, u"xe\u0301", 1, 1},
      {"a line break stays a step of its own", u"e\u0301\r\nx", 2, {Go(kRight), Go(kLeft), Go(kLeft)}, u"e\u0301\r\nx", 0, 0},
      {"delete takes the whole cluster", u"e\u0301x", 0, {Delete()}, u"x", 0, 0},
      {"backspace takes the last mark only", u"e\u0301\u0302", 3, {Backspace()}, u"e\u0301", 2, 2},
  };
  for (const EditCase& test : cases) {
    TextDocument document;
    document.SetClusterBoundary(&MarksWithTheirLetter);
    document.ReplaceAll(test.text);
    document.SetSelection(test.caret, test.caret);
    for (const Step& step : test.steps) Apply(document, step);
    EXPECT_EQ(document.Text(), test.result) << test.name;
    EXPECT_EQ(document.Anchor(), test.anchor_after) << test.name;
    EXPECT_EQ(document.Caret(), test.caret_after) << test.name;
  }
}

struct BoundaryCase {
  const char* name;
  std::size_t answer;  // what the view's boundary function says, whatever is asked
  bool forward;
  std::size_t from;
  std::size_t expected;
};

TEST(TextDocument, UnsoundClusterBoundariesFallBackToCodePoints) {
  // "a" then a pair then "b": code point boundaries 0, 1, 3, 4.
  const StringView text = u"a\U0001F600b";
  const BoundaryCase cases[] = {
      {"no move", 1, true, 1, 3},
      {"backwards when asked forwards", 0, true, 1, 3},
      {"past the line", 9, true, 1, 3},
      {"inside the pair, forwards", 2, true, 1, 3},
      {"inside the pair, backwards", 2, false, 4, 1},
      {"forwards when asked backwards", 4, false, 3, 1},
  };
  for (const BoundaryCase& test : cases) {
    TextDocument document;
    document.SetClusterBoundary([&](StringView, std::size_t, bool) { return test.answer; });
    document.ReplaceAll(text);
    document.SetSelection(test.from, test.from);
    document.Move(test.forward ? Motion::kRight : Motion::kLeft, false);
    EXPECT_EQ(document.Caret(), test.expected) << test.name;
  }
}

class Recorder final : public TextDocumentObserver {
 public:
  void TextChanged(std::size_t position) override { changes.push_back(position); }
  void SelectionChanged() override { ++moves; }
  std::vector<std::size_t> changes;
  int moves = 0;
};

TEST(TextDocument, ObserverHearsEditsAtTheirPlaceAndMovesApart) {
  TextDocument document;
  Recorder recorder;
  document.SetObserver(&recorder);
  document.ReplaceAll(u"abc\r\ndef");
  document.SetSelection(5, 5);
  document.Type(u"x");
  document.DeleteBackward(false);
  document.Move(Motion::kTextStart, false);
  document.DeleteBackward(false);  // nothing before the caret: no change
  document.Type(u"");
  document.Undo();
  EXPECT_EQ(recorder.changes, (std::vector<std::size_t>{0, 5, 5, 5}));
  EXPECT_EQ(recorder.moves, 2);
}

TEST(TextDocument, PositionsAcrossALineUseTheViewsMeasure) {
  TextDocument document;
  // Wide capitals make the line of most units narrower than another.
  document.SetMeasure([](char32_t c) { return c >= u'A' && c <= u'Z' ? 30.0 : 10.0; }, 80);
  document.ReplaceAll(u"abcd\r\nAB\r\na\tb");
  EXPECT_DOUBLE_EQ(document.X(2), 20);
  EXPECT_DOUBLE_EQ(document.X(8), 60);
  EXPECT_DOUBLE_EQ(document.X(13), 90) << "the tab runs to the stop at 80";
  EXPECT_EQ(document.PositionAt(1, 44), 7u) << "nearer the boundary at 30 than at 60";
  EXPECT_EQ(document.PositionAt(1, 46), 8u);
  EXPECT_EQ(document.PositionAt(9, 0), 10u) << "a line past the end is the last";
  EXPECT_DOUBLE_EQ(document.WidestLine(), 40) << "the line of most units";
  EXPECT_FALSE(document.NoteLineWidth(40));
  EXPECT_TRUE(document.NoteLineWidth(90));
  EXPECT_DOUBLE_EQ(document.WidestLine(), 90);
  document.ReplaceAll(u"abcdefgh");
  EXPECT_DOUBLE_EQ(document.WidestLine(), 80) << "measured again after a change";
}

TEST(TextDocument, AWriteFromTheProgramForgetsTheUndoHistory) {
  TextDocument document;
  Recorder recorder;
  document.SetObserver(&recorder);
  document.ReplaceAll(u"typed");
  document.Move(Motion::kTextEnd, false);
  document.Type(u"!");
  document.Undo();  // something to redo as well
  ASSERT_TRUE(document.CanUndo());
  ASSERT_TRUE(document.CanRedo());
  document.SetSelection(2, 4);
  recorder.changes.clear();
  document.ResetText(u"{\r\n}");
  EXPECT_EQ(document.Text(), u"{\r\n}");
  EXPECT_EQ(document.LineCount(), 2u);
  EXPECT_EQ(document.Caret(), 0u);
  EXPECT_EQ(document.Anchor(), 0u);
  EXPECT_FALSE(document.CanUndo());
  EXPECT_FALSE(document.CanRedo());
  EXPECT_EQ(recorder.changes, (std::vector<std::size_t>{0}));
  // What the user does next is undone back to the program's text only.
  document.Type(u"x");
  document.Undo();
  EXPECT_EQ(document.Text(), u"{\r\n}");
  EXPECT_FALSE(document.CanUndo());
}

}  // namespace
}  // namespace host
