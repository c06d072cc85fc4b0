// The text box against the toolkit's own text layout of the same text:
// what it paints, where it puts the caret, what a click hits and where the
// arrow keys go must be what the layout says.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <memory>
#include <vector>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "tests/host/textbox/cell_surface.h"

namespace host::qt {
namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 60;

struct ShapedCase {
  const char* name;
  StringView text;
};

// Lines whose look depends on shaping: joining, reordering, marks placed on
// their letters, sequences drawn as one picture.
const ShapedCase kCases[] = {
    {"Arabic", u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"},
    {"Hebrew", u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"},
    {"Latin, digits and right-to-left in one line",
     u"id 42: \u05E9\u05DC\u05D5\u05DD 123 \u0645\u0631\u062D\u0628\u0627 7, ok"},
    {"combining marks", u"e\u0301 a\u0323\u0302 n\u0303o \u0915\u094D\u0937\u093F"},
    {"emoji ZWJ sequence and a flag", u"x \U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1EB\U0001F1F7 y"},
    {"Hangul jamo", u"\u1100\u1161\u11A8 \uAC00"},
};

class ShapedTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box_ = std::make_unique<TextView>();
    box_->resize(kWidth, kHeight);
    box_->setFocusPolicy(Qt::NoFocus);  // no caret in the pictures
    box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box_->show();
    QApplication::processEvents();
  }

  // The toolkit's layout of `text` as one left-to-right line in the box's font.
  std::unique_ptr<QTextLayout> Reference(StringView text) {
    auto layout = std::make_unique<QTextLayout>(ToQString(text), box_->TextFont());
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->beginLayout();
    layout->createLine().setLineWidth(1e6);
    layout->endLayout();
    return layout;
  }

  QImage Painted() { return box_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // `layout` drawn with its start at viewport x `x`, on the box's baseline.
  QImage Drawn(const QTextLayout& layout, double x, const QList<QTextLayout::FormatRange>& selections = {}) {
    QImage image(box_->viewport()->size(), QImage::Format_RGB32);
    image.fill(box_->palette().base().color());
    QPainter painter(&image);
    painter.setPen(box_->palette().text().color());
    const double baseline = box_->Style().ascent - layout.lineAt(0).ascent();
    layout.draw(&painter, QPointF(x, baseline), selections);
    return image;
  }

  // Columns from `from` on that differ, in the rows of the first line.
  int DifferingColumns(const QImage& seen, const QImage& expected, int from) {
    int differing = 0;
    for (int x = std::max(0, from); x < seen.width(); ++x) {
      for (int y = 0; y < static_cast<int>(box_->LineHeight()); ++y) {
        if (seen.pixel(x, y) != expected.pixel(x, y)) {
          ++differing;
          break;
        }
      }
    }
    return differing;
  }

  int argc_ = 1;
  char name_[5] = "test";
  char* argv_[2] = {name_, nullptr};
  QApplication application_{argc_, argv_};
  std::unique_ptr<TextView> box_;
};

TEST_F(ShapedTextTest, ALineIsPaintedAsTheToolkitLaysItOut) {
  for (const ShapedCase& test : kCases) {
    box_->ReplaceAll(test.text);
    const auto layout = Reference(test.text);
    EXPECT_EQ(DifferingColumns(Painted(), Drawn(*layout, TextView::kMargin), 0), 0) << test.name;
  }
}

TEST_F(ShapedTextTest, CaretAndClicksFollowTheClustersOfTheLayout) {
  for (const ShapedCase& test : kCases) {
    box_->ReplaceAll(test.text);
    const auto layout = Reference(test.text);
    const QTextLine line = layout->lineAt(0);
    for (int position = 0; position <= static_cast<int>(test.text.size()); ++position) {
      if (!layout->isValidCursorPosition(position)) continue;
      EXPECT_DOUBLE_EQ(box_->PointAt(static_cast<std::size_t>(position)).x(),
                       TextView::kMargin + line.cursorToX(position))
          << test.name << " at " << position;
    }
    const int middle = static_cast<int>(box_->LineHeight() / 2);
    for (int x = 0; x < static_cast<int>(line.naturalTextWidth()) + 10; ++x) {
      const auto expected = static_cast<std::size_t>(line.xToCursor(x - TextView::kMargin));
      EXPECT_EQ(box_->PositionAt(QPoint(x, middle)), expected) << test.name << " at x " << x;
    }
  }
}

TEST_F(ShapedTextTest, ArrowKeysStepOverWholeClusters) {
  for (const ShapedCase& test : kCases) {
    box_->ReplaceAll(test.text);
    const auto layout = Reference(test.text);
    std::vector<std::size_t> expected{0};
    while (expected.back() < test.text.size()) {
      expected.push_back(static_cast<std::size_t>(layout->nextCursorPosition(static_cast<int>(expected.back()))));
    }
    std::vector<std::size_t> right{box_->Caret()};
    while (right.back() < test.text.size() && right.size() <= test.text.size()) {
      box_->Document().Move(Motion::kRight, false);
      right.push_back(box_->Caret());
    }
    EXPECT_EQ(right, expected) << test.name;
    std::vector<std::size_t> left{box_->Caret()};
    while (left.front() > 0 && left.size() <= test.text.size() + 1) {
      box_->Document().Move(Motion::kLeft, false);
      left.insert(left.begin(), box_->Caret());
    }
    EXPECT_EQ(left, expected) << test.name;
  }
}

TEST_F(ShapedTextTest, ASelectionAcrossDirectionsHighlightsTheGlyphsOfItsUnits) {
  const StringView text = u"abc \u05E9\u05DC\u05D5\u05DD def";
  box_->ReplaceAll(text);
  struct Range {
    int from;
    int to;
  };
  // From Latin into Hebrew, inside the Hebrew, from Hebrew into Latin.
  for (const Range range : {Range{1, 6}, Range{5, 7}, Range{6, 11}}) {
    box_->SetSelection(static_cast<std::size_t>(range.from), static_cast<std::size_t>(range.to));
    QTextLayout::FormatRange selected{range.from, range.to - range.from, {}};
    selected.format.setBackground(box_->palette().highlight());
    selected.format.setForeground(box_->palette().highlightedText());
    const QImage expected = Drawn(*Reference(text), TextView::kMargin, {selected});
    const QImage seen = Painted();
    // Along the baseline the toolkit's selection band and the box's row both lie.
    const int y = static_cast<int>(box_->Style().ascent) - 1;
    int differing = 0;
    for (int x = 0; x < seen.width(); ++x) differing += seen.pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(differing, 0) << range.from << ".." << range.to;
  }
}

TEST_F(ShapedTextTest, TabsKeepTheirStopsAndControlCharactersTheirMarks) {
  box_->ReplaceAll(u"a\tb\x01" u"c\u05E9");
  const TextStyle& style = box_->Style();
  auto x = [&](std::size_t position) { return box_->PointAt(position).x() - TextView::kMargin; };
  EXPECT_DOUBLE_EQ(x(2), style.tab_width) << "the tab reaches the first stop";
  EXPECT_DOUBLE_EQ(x(3) - x(2), Reference(u"b")->lineAt(0).horizontalAdvance());
  EXPECT_DOUBLE_EQ(x(4) - x(3), style.MarkWidth("SOH"));
  // The mark's box is drawn in its cell; the text after it as laid out there.
  const QImage seen = Painted();
  const int middle = static_cast<int>(style.line_height / 2);
  int inked = 0;
  for (int column = static_cast<int>(std::ceil(TextView::kMargin + x(3))); column < TextView::kMargin + x(4); ++column) {
    inked += seen.pixel(column, middle) != box_->palette().base().color().rgb();
  }
  EXPECT_GT(inked, 0);
  const double after = TextView::kMargin + x(4);
  EXPECT_EQ(DifferingColumns(seen, Drawn(*Reference(u"c\u05E9"), after), static_cast<int>(std::ceil(after))), 0);
}

TEST_F(ShapedTextTest, TheMiddleOfALongLineIsPaintedAndHitAsTheToolkitLaysItOut) {
  const String unit = u"abc \u05E9\u05DC\u05D5\u05DD 123 \u0645\u0631\u062D\u0628\u0627 e\u0301 \U0001F1EB\U0001F1F7, ";
  String text;
  while (text.size() < 100'000) text += unit;
  box_->ReplaceAll(text);
  box_->ShowPosition(text.size() / 2);
  QApplication::processEvents();
  const QImage seen = Painted();
  // A unit that starts in the left third of the view; the layout of the text
  // from there on must match what the box shows from there on.
  std::size_t from = text.size() / 2 / unit.size() * unit.size();
  while (box_->PointAt(from).x() > kWidth / 3.0) from -= unit.size();
  while (box_->PointAt(from).x() < 0) from += unit.size();
  const double x = box_->PointAt(from).x();
  const auto layout = Reference(StringView(text).substr(from, 20 * unit.size()));
  EXPECT_EQ(DifferingColumns(seen, Drawn(*layout, x), static_cast<int>(x)), 0);

  const QTextLine line = layout->lineAt(0);
  const int middle = static_cast<int>(box_->LineHeight() / 2);
  for (int at = static_cast<int>(std::ceil(x)); at < kWidth; at += 3) {
    EXPECT_EQ(box_->PositionAt(QPoint(at, middle)), from + static_cast<std::size_t>(line.xToCursor(at - x)))
        << "at x " << at;
  }
}

// Minified JSON whose keys are Arabic reads from the right: the first key
// stands right of the last, though the line is shaped in segments.
TEST_F(ShapedTextTest, ARightToLeftStretchReadsFromTheRightAcrossSegments) {
  std::size_t last_key = 0;
  const String json = testing_surface::ArabicKeyedJson(250, &last_key);
  ASSERT_GT(json.size(), 4 * kCutUnits);
  box_->ReplaceAll(json);
  EXPECT_GT(box_->PointAt(2).x(), box_->PointAt(last_key).x() + 1000);
}

}  // namespace
}  // namespace host::qt
