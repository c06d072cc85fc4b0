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

using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;

// Every answer of ours is compared with a stock QPlainTextEdit's, read back
// into its units: it breaks lines with one unit where ours has CR LF. At an
// offset inside a surrogate pair it answers a half; ours keeps the pair whole.
TEST(TextViewAccessibleTest, ReadsByBoundaryAsAStockTextBox) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  const QString texts[] = {"{a}", R"({"a": 1, "b": [2, 3]})", "Hello world. How are you?  Fine!",
                           "one two\nthree. four\n\nfive", "  ab  -- c\t,",
                           QString::fromUtf16(u"e\u0301t\U0001F600 x.y"), ""};
  for (const QString& text : texts) {
    QPlainTextEdit stock;
    stock.setLineWrapMode(QPlainTextEdit::NoWrap);
    stock.setPlainText(text);
    TextView ours;
    ours.ReplaceAll(ToString(QString(text).replace('\n', "\r\n")));
    const QString our_text = ToQString(ours.Text());
    auto ask = [](QWidget* box, Query query, int offset, QAccessible::TextBoundaryType boundary) {
      int start = -1, end = -1;
      const QString read = (QAccessible::queryAccessibleInterface(box)->textInterface()->*query)(
          offset, boundary, &start, &end);
      return std::tuple(read, start, end);
    };
    auto inside_pair = [&](int offset) { return offset > 0 && offset < text.size() && text[offset].isLowSurrogate(); };
    auto stock_at = [&](int offset) { return static_cast<int>(our_text.left(offset).replace("\r\n", "\n").size()); };
    for (const Query query : {&QAccessibleTextInterface::textBeforeOffset, &QAccessibleTextInterface::textAtOffset,
                              &QAccessibleTextInterface::textAfterOffset}) {
      for (int boundary = QAccessible::CharBoundary; boundary <= QAccessible::NoBoundary; ++boundary) {
        for (int offset = 0; offset <= text.size(); ++offset) {
          const auto type = static_cast<QAccessible::TextBoundaryType>(boundary);
          const auto want = ask(&stock, query, offset, type);
          if (inside_pair(offset) || inside_pair(std::get<1>(want))) continue;
          auto [read, start, end] = ask(&ours, query, offset + static_cast<int>(text.left(offset).count('\n')), type);
          EXPECT_EQ(std::tuple(read.replace("\r\n", "\n"), stock_at(start), stock_at(end)), want)
              << text.toStdString() << " at " << offset << ", boundary " << boundary;
        }
      }
    }
  }
}

}  // namespace
}  // namespace host::qt
