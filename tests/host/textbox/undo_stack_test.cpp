#include "host/textbox/undo_stack.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <vector>

namespace host {
namespace {

class UndoStackTest : public ::testing::Test {
 protected:
  void Apply(std::size_t position, std::size_t length, String text, EditKind kind) {
    const std::size_t inserted = text.size();
    String removed = buffer_.Replace(position, length, std::move(text));
    undo_.Record(buffer_, kind, position, std::move(removed), inserted);
  }
  void Type(StringView typed) {
    for (const char16_t unit : typed) Apply(buffer_.Size(), 0, String(1, unit), EditKind::kTyping);
  }

  // Undoes one step per text and checks the text after each.
  void ExpectUndoneTo(std::initializer_list<StringView> texts) {
    for (const StringView text : texts) {
      ASSERT_TRUE(undo_.Undo(buffer_));
      EXPECT_EQ(buffer_.Text(), text);
    }
  }

  TextBuffer buffer_;
  UndoStack undo_;
};

TEST_F(UndoStackTest, TypingIsUndoneAWordAtATime) {
  Type(u"hello world  again");
  ExpectUndoneTo({u"hello world  ", u"hello ", u""});
  EXPECT_FALSE(undo_.CanUndo());
  EXPECT_FALSE(undo_.Undo(buffer_));
  for (const char16_t* text : {u"hello ", u"hello world  ", u"hello world  again"}) {
    ASSERT_TRUE(undo_.Redo(buffer_));
    EXPECT_EQ(buffer_.Text(), text);
  }
  EXPECT_FALSE(undo_.CanRedo());
}

TEST_F(UndoStackTest, ClosingTheGroupSplitsAWord) {
  Type(u"ab");
  undo_.Close();  // the caret moved
  Type(u"cd");
  undo_.Undo(buffer_);
  EXPECT_EQ(buffer_.Text(), u"ab");
}

TEST_F(UndoStackTest, RunsOfBackspaceAndDeleteAreOneStepEach) {
  Type(u"abcdef");
  undo_.Close();
  Apply(5, 1, u"", EditKind::kBackspace);  // f
  Apply(4, 1, u"", EditKind::kBackspace);  // e
  Apply(1, 1, u"", EditKind::kDelete);     // b
  Apply(1, 1, u"", EditKind::kDelete);     // c
  EXPECT_EQ(buffer_.Text(), u"ad");
  ExpectUndoneTo({u"abcd", u"abcdef"});
}

TEST_F(UndoStackTest, AReplacementOfTheWholeTextIsOneStep) {
  Type(u"old");
  Apply(0, buffer_.Size(), u"new\r\ntext", EditKind::kOther);
  Apply(0, buffer_.Size(), u"third", EditKind::kOther);
  ExpectUndoneTo({u"new\r\ntext"});
  EXPECT_EQ(buffer_.LineCount(), 2u);
  ExpectUndoneTo({u"old"});
  undo_.Redo(buffer_);
  EXPECT_EQ(buffer_.Text(), u"new\r\ntext");
}

TEST_F(UndoStackTest, ANewEditDropsTheRedoSteps) {
  Type(u"ab");
  undo_.Undo(buffer_);
  Type(u"x");
  EXPECT_FALSE(undo_.CanRedo());
  EXPECT_EQ(buffer_.Text(), u"x");
}

TEST_F(UndoStackTest, RandomEditsUndoToEveryEarlierTextExactly) {
  std::mt19937 random(42);
  static constexpr char16_t kUnits[] = {u'a', u' ', u'\r', u'\n', u'\xD800', u'\0', u'\u2029'};
  std::vector<String> history{buffer_.Text()};
  for (int edit = 0; edit < 300; ++edit) {
    const std::size_t position = random() % (buffer_.Size() + 1);
    const std::size_t length = random() % 3;
    String text;
    for (std::size_t i = random() % 4; i > 0; --i) text += kUnits[random() % std::size(kUnits)];
    undo_.Close();  // one step per edit, so that every step is a text of the history
    Apply(position, length, text, EditKind::kOther);
    history.push_back(buffer_.Text());
  }
  for (std::size_t step = history.size() - 1; step > 0; --step) {
    ASSERT_EQ(buffer_.Text(), history[step]);
    ASSERT_TRUE(undo_.Undo(buffer_));
  }
  EXPECT_EQ(buffer_.Text(), history[0]);
  for (std::size_t step = 1; step < history.size(); ++step) {
    ASSERT_TRUE(undo_.Redo(buffer_));
    ASSERT_EQ(buffer_.Text(), history[step]);
  }
}

TEST_F(UndoStackTest, OldStepsGoOnceTheyOutgrowTheText) {
  const String big(UndoStack::kFloorUnits / 2 + 1, u'x');
  Apply(0, 0, big, EditKind::kOther);
  Apply(0, buffer_.Size(), big + u"y", EditKind::kOther);
  Apply(0, buffer_.Size(), u"small", EditKind::kOther);
  Apply(0, buffer_.Size(), u"smaller", EditKind::kOther);
  // Two big texts kept would pass the floor; the oldest of them goes.
  ExpectUndoneTo({u"small", big + u"y"});
  EXPECT_FALSE(undo_.CanUndo());
}

}  // namespace
}  // namespace host
