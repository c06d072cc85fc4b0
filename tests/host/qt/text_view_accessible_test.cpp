#include "host/qt/text_view_accessible.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <tuple>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"

namespace host::qt {
namespace {

struct Span {
  QString text;
  int start = -1;
  int end = -1;
  friend bool operator==(const Span&, const Span&) = default;
};
std::ostream& operator<<(std::ostream& out, const Span& span) {
  return out << '"' << span.text.toStdString() << "\" " << span.start << ".." << span.end;
}

using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;

Span Ask(QAccessibleTextInterface* text, Query query, int offset, QAccessible::TextBoundaryType boundary) {
  Span span;
  span.text = (text->*query)(offset, boundary, &span.start, &span.end);
  return span;
}

class TextViewAccessibleTest : public ::testing::Test {
 protected:
  int argc_ = 1;
  char name_[5] = "test";
  char* argv_[2] = {name_, nullptr};
  QApplication application_{argc_, argv_};
};

// The stock box answers halves of a surrogate pair at offsets inside one;
// ours keeps the pair whole, so those answers are not compared.
bool InsidePair(const QString& text, int offset) {
  return offset > 0 && offset < text.size() && text[offset].isLowSurrogate();
}

// The stock box breaks lines with one unit where ours has CR LF: its answers
// are compared with ours read back into its units.
TEST_F(TextViewAccessibleTest, ReadsByBoundaryAsAStockTextBox) {
  const QString texts[] = {"{a}", R"({"a": 1, "b": [2, 3]})", "Hello world. How are you?  Fine!",
                           "one two\nthree. four\n\nfive", "  ab  -- c\t,",
                           QString::fromUtf16(u"e\u0301t\U0001F600 x.y"), ""};
  const QAccessible::TextBoundaryType boundaries[] = {QAccessible::CharBoundary, QAccessible::WordBoundary,
                                                      QAccessible::SentenceBoundary, QAccessible::LineBoundary,
                                                      QAccessible::ParagraphBoundary, QAccessible::NoBoundary};
  const Query queries[] = {&QAccessibleTextInterface::textBeforeOffset, &QAccessibleTextInterface::textAtOffset,
                           &QAccessibleTextInterface::textAfterOffset};
  for (const QString& text : texts) {
    QPlainTextEdit stock;
    stock.setLineWrapMode(QPlainTextEdit::NoWrap);
    stock.setPlainText(text);
    TextView ours;
    ours.SetText(ToString(QString(text).replace('\n', "\r\n")));
    for (QWidget* widget : {static_cast<QWidget*>(&stock), static_cast<QWidget*>(&ours)}) {
      widget->resize(800, 200);
      widget->show();
    }
    QAccessibleTextInterface* expected = QAccessible::queryAccessibleInterface(&stock)->textInterface();
    QAccessibleTextInterface* actual = QAccessible::queryAccessibleInterface(&ours)->textInterface();
    auto ours_at = [&](int offset) { return offset + static_cast<int>(text.left(offset).count('\n')); };
    auto stock_at = [&](int offset) {
      return static_cast<int>(ToQString(ours.Text()).left(offset).replace("\r\n", "\n").size());
    };
    for (const QAccessible::TextBoundaryType boundary : boundaries) {
      for (const Query query : queries) {
        for (int offset = 0; offset <= text.size(); ++offset) {
          const Span want = Ask(expected, query, offset, boundary);
          if (InsidePair(text, offset) || InsidePair(text, want.start)) continue;
          Span got = Ask(actual, query, ours_at(offset), boundary);
          got = {got.text.replace("\r\n", "\n"), stock_at(got.start), stock_at(got.end)};
          EXPECT_EQ(got, want)
              << text.toStdString() << " at " << offset << ", boundary " << boundary;
        }
      }
    }
  }
}

}  // namespace
}  // namespace host::qt
