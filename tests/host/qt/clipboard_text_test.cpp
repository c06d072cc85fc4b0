#include "host/qt/clipboard_text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <memory>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"

namespace host::qt {
namespace {

const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");

// Texts with NUL in them need their length spelled out.
constexpr char16_t kBomNulCr[] = {0xFEFF, u'a', 0, u'b', u'\r', u'c', 0};
constexpr char kBomNulCrUtf8[] = "\xEF\xBB\xBF" "a\0b\rc\0";

class ClipboardTextTest : public ::testing::Test {
 protected:
  int argc_ = 1;
  char name_[5] = "test";
  char* argv_[2] = {name_, nullptr};
  QApplication application_{argc_, argv_};
};

TEST_F(ClipboardTextTest, TextGoesOutAsTextAndAsItsUtf8BytesUnchanged) {
  const StringView text(kBomNulCr, std::size(kBomNulCr));
  const std::unique_ptr<QMimeData> data(ClipboardData(text));
  EXPECT_EQ(data->data(kUtf8Text), QByteArray(kBomNulCrUtf8, sizeof kBomNulCrUtf8 - 1));
  EXPECT_EQ(ClipboardText(data.get()), text);
}

TEST_F(ClipboardTextTest, AnUnpairedSurrogateGoesOutAsTextOnly) {
  const String text = u"a\xD800z";
  const std::unique_ptr<QMimeData> data(ClipboardData(text));
  EXPECT_FALSE(data->hasFormat(kUtf8Text));
  EXPECT_EQ(ClipboardText(data.get()), text);
}

struct IncomingCase {
  const char* name;
  QByteArray utf8;  // empty: not offered
  QString text;
  StringView read;
};

TEST_F(ClipboardTextTest, Utf8BytesAreReadUnitForUnitAndTextStandsInForMalformedOrMissingBytes) {
  const IncomingCase cases[] = {
      // The window system's own reading of these bytes loses the U+FEFF and the last NUL.
      {"bytes and lossy text", QByteArray(kBomNulCrUtf8, sizeof kBomNulCrUtf8 - 1), QStringLiteral("a"),
       StringView(kBomNulCr, std::size(kBomNulCr))},
      // As the toolkit reads them: a replacement character for each bad byte.
      {"malformed bytes", QByteArray("\xC0\xAF"), QStringLiteral("text"), u"\uFFFD\uFFFD"},
      {"text only", QByteArray(), QString(QChar(0xFEFF)), u"\uFEFF"},
      {"nothing", QByteArray(), QString(), u""},
  };
  for (const IncomingCase& test : cases) {
    QMimeData data;
    if (!test.text.isNull()) data.setText(test.text);
    if (!test.utf8.isEmpty()) data.setData(kUtf8Text, test.utf8);
    EXPECT_EQ(ClipboardText(&data), test.read) << test.name;
  }
  EXPECT_EQ(ClipboardText(nullptr), u"");
}

TEST_F(ClipboardTextTest, ATextBoxCopiesAndPastesALeadingFeffNulsAndALoneCrUnchanged) {
  TextView box;
  const StringView text(kBomNulCr, std::size(kBomNulCr));
  box.ReplaceAll(text);
  box.SelectAll();
  box.Copy();
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(ClipboardText(copied), text);
  EXPECT_EQ(copied->data(kUtf8Text), QByteArray(kBomNulCrUtf8, sizeof kBomNulCrUtf8 - 1));

  box.ReplaceAll(u"");
  box.Paste();
  EXPECT_EQ(box.Text(), text);
}

}  // namespace
}  // namespace host::qt
