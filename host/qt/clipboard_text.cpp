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

namespace {

bool Owns(const QClipboard& clipboard, QClipboard::Mode mode) {
  return mode == QClipboard::Selection ? clipboard.ownsSelection() : clipboard.ownsClipboard();
}

std::string_view SelectionName(QClipboard::Mode mode) {
  return mode == QClipboard::Selection ? "PRIMARY" : "CLIPBOARD";
}

}  // namespace

Pasted PastedText(QClipboard::Mode mode) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!Owns(*clipboard, mode)) {
    // The toolkit waits for a silent owner for seconds, several times over.
    const X11Reading reading = ReadX11Selection(SelectionName(mode));
    switch (reading.outcome) {
      case X11Reading::Outcome::kNotX11:
        break;
      case X11Reading::Outcome::kText:
        try {
          return {Utf8ToUtf16(reading.bytes)};
        } catch (const EncodingError&) {
          return {ToString(QString::fromUtf8(reading.bytes.data(), static_cast<qsizetype>(reading.bytes.size())))};
        }
      case X11Reading::Outcome::kNoText:
        return {};
      case X11Reading::Outcome::kNoAnswer:
        return {std::nullopt, false};
    }
  }
  const QMimeData* data = clipboard->mimeData(mode);
  if (data == nullptr || !data->hasText()) return {};
  return {ClipboardText(data)};
}

bool ClipboardMayHaveText() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->ownsClipboard()) {
    if (const std::optional<bool> owned = X11SelectionOwned("CLIPBOARD")) return *owned;
  }
  const QMimeData* data = clipboard->mimeData();
  return data != nullptr && data->hasText();
}

}  // namespace host::qt
