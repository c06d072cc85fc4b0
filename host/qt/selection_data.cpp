#include "host/qt/selection_data.h"

#include <string>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "host/runtime/utf8.h"
#include "host/textbox/line_breaks.h"

namespace host::qt {
namespace {

const QString kPlainText = QStringLiteral("text/plain");
const QString kUtf8Text = QStringLiteral("text/plain;charset=utf-8");

}  // namespace

QStringList SelectionData::formats() const { return {kPlainText, kUtf8Text}; }

bool SelectionData::hasFormat(const QString& type) const { return type == kPlainText || type == kUtf8Text; }

QVariant SelectionData::retrieveData(const QString& type, QMetaType wanted) const {
  if (view_ == nullptr || !hasFormat(type)) return {};
  const String text = CrLfToLf(view_->Document().SelectedText());
  if (type == kUtf8Text || wanted.id() == QMetaType::QByteArray) {
    try {
      const std::string bytes = Utf16ToUtf8(text);
      return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    } catch (const EncodingError&) {
      return ToQString(text).toUtf8();  // an unpaired surrogate has no UTF-8 form of its own
    }
  }
  return ToQString(text);
}

}  // namespace host::qt
