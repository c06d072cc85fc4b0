#pragma once
#include <QString>

#include "host/runtime/string.h"

namespace host::qt {

inline QString ToQString(StringView text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline String ToString(const QString& text) {
  return String(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace host::qt
