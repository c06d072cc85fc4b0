#pragma once
#include <QString>

#include "host/runtime/string.h"

namespace host::qt {

// Copied unit for unit: a conversion from UTF-16 would take a leading
// U+FEFF for a byte order mark and drop it.
inline QString ToQString(StringView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline String ToString(const QString& text) {
  return String(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace host::qt
