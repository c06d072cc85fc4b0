#include "host/qt/text_view.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QLocale>
#include <QLibraryInfo>
#include <QTranslator>
#include <QPlainTextEdit>
#include <random>
#include <vector>

#include "host/textbox/line_breaks.h"
#include "host/qt/qt_string.h"
#include "host/qt/qt_text_box.h"

namespace host::qt {
namespace {

constexpr ControlDesign kBoxDesign{.id = 1,
                                   .name = "Box",
                                   .kind = ControlKind::kTextBox,
                                   .caption = "",
                                   .rect = {0, 0, 6000, 3000},
                                   .tab_index = 0,
                                   .multi_line = true,
                                   .scroll_bars = ScrollBars::kBoth};

class TextViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 200);
    box_ = new QtTextBox(kBoxDesign, &window_);
    box_->setGeometry(0, 0, 400, 200);
    window_.show();
    QApplication::setActiveWindow(&window_);
    box_->setFocus();
    QApplication::processEvents();
  }

  void Put(StringView text) { ASSERT_EQ(box_->PutText(String(text)), kOk); }
  String Get() {
    String text;
    EXPECT_EQ(box_->GetText(text), kOk);
    return text;
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(box_, key, modifiers);
  }
  // One key press per code unit, as a keyboard layout delivers text that
  // QTest cannot spell as keys.
  void TypeUnits(StringView units) {
    for (const char16_t unit : units) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(unit)));
      QApplication::sendEvent(box_, &press);
    }
  }
  // The middle of the cell that starts at `position`, for the mouse.
  // Clicks in quick succession at one point, as Qt gives them from the
  // window system: each a press and a release, a tenth of a second apart,
  // the second press told as a double click.
  void Clicks(QPoint at, int count) {
    QWidget* viewport = box_->viewport();
    for (int click = 0; click < count; ++click) {
      const QEvent::Type press = click == 1 ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress;
      for (const QEvent::Type type : {press, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        event.setTimestamp(static_cast<quint64>(100'000 + 100 * click));
        QApplication::sendEvent(viewport, &event);
      }
    }
  }
  QPoint CellPoint(std::size_t position) {
    const QPointF at = box_->PointAt(position);
    return QPointF(at.x() + 1.5, at.y() + box_->LineHeight() / 2).toPoint();
  }

  int argc_ = 1;
  char name_[5] = "test";
  char* argv_[2] = {name_, nullptr};
  QApplication application_{argc_, argv_};
  QWidget window_;
  QtTextBox* box_ = nullptr;
};

TEST_F(TextViewTest, TypedSeparatorsSpacesAndSurrogatesAreKeptAsTyped) {
  const String typed = u"a\u2028\u2029\u00A0\xD800x\U0001F600";
  TypeUnits(typed);
  EXPECT_EQ(Get(), typed);
  Key(Qt::Key_Return);
  EXPECT_EQ(Get(), typed + u"\r\n");
}

TEST_F(TextViewTest, RandomTextsRoundTripAndCopyTurnsOnlyCrLfIntoLf) {
  std::mt19937 random(1);
  static constexpr char16_t kSpecial[] = {u'\r', u'\n', 0, u'\u2028', u'\u2029', u'\u00A0', u'\xD800', u'\xDFFF', u'\t'};
  for (int round = 0; round < 40; ++round) {
    String text;
    for (std::size_t i = random() % 300; i > 0; --i) {
      text += random() % 2 ? kSpecial[random() % std::size(kSpecial)] : static_cast<char16_t>(random() % 0x10000);
    }
    Put(text);
    ASSERT_EQ(Get(), text) << round;
    std::size_t breaks = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) breaks += text[i] == u'\r' && text[i + 1] == u'\n';
    EXPECT_EQ(box_->LineCount(), breaks + 1);
    box_->SelectAll();
    box_->Copy();
    if (!text.empty()) {
      EXPECT_EQ(ToString(QApplication::clipboard()->text()), CrLfToLf(text));
    }
    box_->grab();  // paints every kind of cell
  }
}

struct PasteCase {
  QString clipboard;
  StringView stored;
};

TEST_F(TextViewTest, PastedLfIsStoredAsCrLfAndEveryOtherUnitAsItCame) {
  const PasteCase cases[] = {
      {"a\nb", u"a\r\nb"},
      {"a\r\nb", u"a\r\nb"},
      {"a\rb", u"a\rb"},
      {"\n\r\r\n", u"\r\n\r\r\n"},
      {QString::fromUtf16(u"x\u2029y\u00A0"), u"x\u2029y\u00A0"},
  };
  for (const PasteCase& test : cases) {
    Put(u"");
    QApplication::clipboard()->setText(test.clipboard);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Get(), test.stored) << test.clipboard.toStdString();
  }
}

TEST_F(TextViewTest, ClipboardKeysCopyCutAndPaste) {
  Put(u"a\rb\r\nc\nd");
  box_->SelectAll();
  Key(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QString("a\rb\nc\nd"));
  box_->SetSelection(0, 2);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QString("a\r"));
  EXPECT_EQ(Get(), u"b\r\nc\nd");
  Key(Qt::Key_End, Qt::ControlModifier);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Get(), u"b\r\nc\nda\r") << "the lone CR cut comes back as it was";
  box_->SetSelection(0, 1);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Get(), u"\r\nc\nda\r");
  Key(Qt::Key_C, Qt::ControlModifier);  // nothing selected: the clipboard stays
  EXPECT_EQ(QApplication::clipboard()->text(), QString("b"));
}

// The document's own tests cover what undo groups; here, that the keys reach it.
TEST_F(TextViewTest, UndoKeysUndoAndRedoTheLastSteps) {
  // Whole-text replacements made in the box, which are undoable; a write
  // from the program is not (see ProgramWriteLeavesNothingToUndo).
  box_->ReplaceAll(u"one");
  box_->ReplaceAll(u"two");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Get(), u"one");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Get(), u"");
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Get(), u"one");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Get(), u"two");
  EXPECT_FALSE(box_->CanRedo());
}

TEST_F(TextViewTest, ProgramWriteLeavesNothingToUndo) {
  TypeUnits(u"a");
  Put(u"one");
  Put(u"two");
  EXPECT_FALSE(box_->CanUndo());
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Get(), u"two");
}

struct KeyStep {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

struct KeyCase {
  const char* name;
  StringView text;
  std::size_t caret;
  std::vector<KeyStep> keys;
  StringView result;
  std::size_t anchor_after;
  std::size_t caret_after;
};

// Each key reaches its command; what the commands do is the engine's.
TEST_F(TextViewTest, KeySequencesEditAndMoveAsExpected) {
  constexpr auto kShift = Qt::ShiftModifier;
  constexpr auto kControl = Qt::ControlModifier;
  const KeyCase cases[] = {
      {"shift+right selects", u"abc", 0, {{Qt::Key_Right, kShift}, {Qt::Key_Right, kShift}}, u"abc", 0, 2},
      {"home", u"ab\r\ncd", 5, {{Qt::Key_Home}}, u"ab\r\ncd", 4, 4},
      {"control end", u"ab\r\ncd", 0, {{Qt::Key_End, kControl}}, u"ab\r\ncd", 6, 6},
      {"control left by words", u"foo bar", 7, {{Qt::Key_Left, kControl}}, u"foo bar", 4, 4},
      {"down keeps the column", u"abc\r\nx\r\nabc", 2, {{Qt::Key_Down}, {Qt::Key_Down}}, u"abc\r\nx\r\nabc", 10, 10},
      {"page down to the last line", u"a\r\nb\r\nc", 0, {{Qt::Key_PageDown}}, u"a\r\nb\r\nc", 6, 6},
      {"backspace takes CR LF whole", u"a\r\nb", 3, {{Qt::Key_Backspace}}, u"ab", 1, 1},
      {"delete takes CR LF whole", u"a\r\nb", 1, {{Qt::Key_Delete}}, u"ab", 1, 1},
      {"control backspace takes a word", u"foo bar", 7, {{Qt::Key_Backspace, kControl}}, u"foo ", 4, 4},
      {"enter inserts CR LF", u"ab", 1, {{Qt::Key_Return}}, u"a\r\nb", 3, 3},
      {"typing replaces a selection", u"abc", 0, {{Qt::Key_Right, kShift}, {Qt::Key_Z}}, u"zbc", 1, 1},
      {"control A selects all", u"a\r\nb", 1, {{Qt::Key_A, kControl}}, u"a\r\nb", 0, 4},
      {"tab is not typed", u"ab", 1, {{Qt::Key_Tab, kControl}}, u"ab", 1, 1},
  };
  for (const KeyCase& test : cases) {
    Put(test.text);
    box_->SetSelection(test.caret, test.caret);
    for (const KeyStep& step : test.keys) Key(step.key, step.modifiers);
    EXPECT_EQ(Get(), test.result) << test.name;
    EXPECT_EQ(box_->Anchor(), test.anchor_after) << test.name;
    EXPECT_EQ(box_->Caret(), test.caret_after) << test.name;
  }
}

TEST_F(TextViewTest, MouseClicksDragsAndDoubleClicksPlaceTheCaretAndSelect) {
  Put(u"alpha beta\r\ngamma \rdelta");
  QWidget* viewport = box_->viewport();
  QTest::mouseClick(viewport, Qt::LeftButton, {}, CellPoint(2));
  EXPECT_EQ(box_->Caret(), 2u);
  EXPECT_EQ(box_->Anchor(), 2u);
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, CellPoint(14));
  EXPECT_EQ(box_->Anchor(), 2u);
  EXPECT_EQ(box_->Caret(), 14u);

  QTest::mousePress(viewport, Qt::LeftButton, {}, CellPoint(6));
  QMouseEvent move(QEvent::MouseMove, CellPoint(20), viewport->mapToGlobal(CellPoint(20)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &move);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, CellPoint(20));
  EXPECT_EQ(box_->Anchor(), 6u);
  EXPECT_EQ(box_->Caret(), 20u);

  Clicks(CellPoint(7), 2);
  EXPECT_EQ(box_->Anchor(), 6u);
  EXPECT_EQ(box_->Caret(), 10u);

  // Past the end of a line, below the last line: the nearest place there.
  QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(390, CellPoint(0).y()));
  EXPECT_EQ(box_->Caret(), 10u);
  QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(1, 150));
  EXPECT_EQ(box_->Caret(), 12u);
}

TEST_F(TextViewTest, ATripleClickSelectsTheLine) {
  Put(u"alpha beta\r\ngamma");
  Clicks(CellPoint(7), 3);
  EXPECT_EQ(box_->Anchor(), 0u);
  EXPECT_EQ(box_->Caret(), 12u);
}

// The texts of the toolkit's own plain-text box's menu, shortcuts and all.
QStringList StockMenuTexts() {
  QPlainTextEdit stock;
  stock.setPlainText("abc");
  std::unique_ptr<QMenu> menu(stock.createStandardContextMenu());
  QStringList texts;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts << action->text();
  }
  return texts;
}

// The menu has the stock box's texts and shortcuts, in the user's language;
// its items are greyed and run as the engine's menu says.
TEST_F(TextViewTest, ContextMenuIsTheStockBoxsInTheUsersLanguage) {
  box_->ReplaceAll(u"abc");
  box_->SetSelection(0, 1);
  QApplication::clipboard()->clear();
  std::unique_ptr<QMenu> menu(box_->CreateContextMenu());
  QStringList names;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    names << action->text();
    if (action->text().startsWith("&Paste")) {
      EXPECT_FALSE(action->isEnabled()) << "nothing to paste";
    }
    if (action->text().startsWith("Cu&t")) action->trigger();
  }
  EXPECT_EQ(names, StockMenuTexts());
  EXPECT_EQ(Get(), u"bc");
  EXPECT_EQ(QApplication::clipboard()->text(), "a");

  QTranslator german;
  if (!german.load(QLocale(QLocale::German), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    GTEST_SKIP() << "the toolkit's German texts are not installed (qt6-translations-l10n)";
  }
  QApplication::installTranslator(&german);
  menu.reset(box_->CreateContextMenu());
  QStringList german_names;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) german_names << action->text();
  }
  const QStringList stock = StockMenuTexts();
  QApplication::removeTranslator(&german);
  EXPECT_EQ(german_names, stock);
  EXPECT_NE(german_names, names) << "the German texts differ from the English ones";
}

TEST_F(TextViewTest, InputMethodCommitsAndSeesTheTextAroundTheCaret) {
  Put(u"ab\r\ncd");
  box_->SetSelection(5, 5);
  QInputMethodEvent composing("ka", {});
  QApplication::sendEvent(box_, &composing);
  EXPECT_EQ(Get(), u"ab\r\ncd") << "a preedit is not text yet";
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf16(u"\u304B"));
  QApplication::sendEvent(box_, &commit);
  EXPECT_EQ(Get(), u"ab\r\nc\u304Bd");
  EXPECT_EQ(box_->inputMethodQuery(Qt::ImSurroundingText).toString(), QString::fromUtf16(u"c\u304Bd"));
  EXPECT_EQ(box_->inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
  EXPECT_TRUE(box_->inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(TextViewTest, AVeryLongLineIsEditedAtItsEndAndScrolledTo) {
  String line(3'000'000, u'x');
  line += u"\r\nshort";
  Put(line);
  box_->SetSelection(0, 0);
  Key(Qt::Key_End);
  EXPECT_EQ(box_->Caret(), 3'000'000u);
  QTest::keyClicks(box_, "yz");
  EXPECT_EQ(Get().substr(2'999'999, 5), u"xyz\r\n");
  const QPointF caret = box_->PointAt(box_->Caret());
  EXPECT_GE(caret.x(), 0);
  EXPECT_LE(caret.x(), box_->viewport()->width()) << "the caret is scrolled into view";
  EXPECT_GT(box_->horizontalScrollBar()->value(), 0);
  Key(Qt::Key_Down);
  EXPECT_EQ(box_->Caret(), Get().size());
}

TEST_F(TextViewTest, SelectionIsPaintedWithTheHighlight) {
  Put(u"MMMMMMMM");
  box_->SetSelection(2, 6);
  const QImage image = box_->viewport()->grab().toImage();
  const QPoint inside = CellPoint(3);
  const QPoint outside = CellPoint(7) + QPoint(2, 0);
  EXPECT_EQ(image.pixelColor(inside.x(), 1), box_->palette().highlight().color());
  EXPECT_NE(image.pixelColor(outside.x(), 1), box_->palette().highlight().color());
  // A theme whose inactive selection differs: shown once the focus leaves.
  QPalette palette = box_->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::darkGreen);
  palette.setColor(QPalette::Active, QPalette::Highlight, Qt::darkBlue);
  box_->setPalette(palette);
  box_->setFocus();
  const QColor focused = box_->hasFocus() ? QColor(Qt::darkBlue) : QColor(Qt::darkGreen);
  EXPECT_EQ(box_->viewport()->grab().toImage().pixelColor(inside.x(), 1), focused);
  box_->clearFocus();
  EXPECT_EQ(box_->viewport()->grab().toImage().pixelColor(inside.x(), 1), QColor(Qt::darkGreen));
}

TEST_F(TextViewTest, AccessibleTextInterfaceReadsAndMovesTheCaret) {
  Put(u"ab\r\ncd\u2029");
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box_);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::EditableText);
  QAccessibleTextInterface* text = accessible->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 7);
  EXPECT_EQ(text->text(1, 5), QString("b\r\nc"));
  EXPECT_EQ(accessible->text(QAccessible::Value), QString::fromUtf16(u"ab\r\ncd\u2029"));
  text->setSelection(0, 4, 6);
  EXPECT_EQ(box_->Anchor(), 4u);
  EXPECT_EQ(box_->Caret(), 6u);
  int start = -1;
  int end = -1;
  text->selection(0, &start, &end);
  EXPECT_EQ(start, 4);
  EXPECT_EQ(end, 6);
  text->setCursorPosition(1);
  EXPECT_EQ(text->cursorPosition(), 1);
  EXPECT_EQ(text->selectionCount(), 0);
  EXPECT_EQ(text->offsetAtPoint(text->characterRect(5).center()), 5);
}

TEST_F(TextViewTest, WheelAndScrollBarsMoveTheView) {
  String lines;
  for (int i = 0; i < 200; ++i) lines += u"line\r\n";
  Put(lines);
  QScrollBar* vertical = box_->verticalScrollBar();
  EXPECT_EQ(vertical->maximum(), 201 - static_cast<int>(box_->viewport()->height() / box_->LineHeight()));
  const QPointF at(50, 50);
  QWheelEvent wheel(at, box_->viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(box_->viewport(), &wheel);
  EXPECT_EQ(vertical->value(), QApplication::wheelScrollLines());
  EXPECT_EQ(box_->PositionAt(QPoint(1, 1)), 6u * QApplication::wheelScrollLines()) << "the top line moved";
  vertical->setValue(10);
  EXPECT_EQ(box_->PositionAt(QPoint(1, 1)), 60u);
  Put(String(1000, u'w'));
  QScrollBar* horizontal = box_->horizontalScrollBar();
  EXPECT_GT(horizontal->maximum(), 0);
  QWheelEvent sideways(at, box_->viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton,
                       Qt::ShiftModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(box_->viewport(), &sideways);
  EXPECT_GT(horizontal->value(), 0) << "Shift turns the wheel sideways";
  horizontal->setValue(horizontal->maximum());
  EXPECT_EQ(box_->PositionAt(QPoint(box_->viewport()->width() - 1, 1)), 1000u);
}

}  // namespace
}  // namespace host::qt
