#include "host/qt/clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <string_view>

#include "host/qt/qt_string.h"
#include "host/qt/x11_clipboard.h"
#include "host/runtime/utf8.h"

namespace host::qt {
namespace {
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");
}  // namespace

QMimeData* ClipboardData(StringView text) {
  auto* data = new QMimeData;
  data->setText(ToQString(text));
  try {
    const std::string bytes = Utf16ToUtf8(text);
    data->setData(kUtf8Text, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  } catch (const EncodingError&) {
    // An unpaired surrogate has no UTF-8 form: the text goes as text only.
  }
  return data;
}

String ClipboardText(const QMimeData* data) {
  if (data == nullptr) return String();
  if (data->hasFormat(kUtf8Text)) {
    const QByteArray bytes = data->data(kUtf8Text);
    try {
      return Utf8ToUtf16(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const EncodingError&) {
      // Malformed bytes: the toolkit's reading of them is the best there is.
    }
  }
  return ToString(data->text());
}

String PastedText() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard->mimeData();
  if (data != nullptr && data->hasText() && !data->hasFormat(kUtf8Text) && !clipboard->ownsClipboard()) {
    if (const std::optional<std::string> bytes = ReadX11ClipboardUtf8()) {
      try {
        return Utf8ToUtf16(*bytes);
      } catch (const EncodingError&) {
        // Malformed bytes: the toolkit's reading below.
      }
    }
  }
  return ClipboardText(data);
}

}  // namespace host::qt
