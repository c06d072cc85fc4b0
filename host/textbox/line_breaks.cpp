#include "host/textbox/line_breaks.h"

#include "host/runtime/find_unit.h"

namespace host {

String ToCrLf(StringView text) {
  // Runs between the LFs that lack their CR are copied whole: a pasted text
  // of many megabytes may have no such LF at all.
  String out;
  out.reserve(text.size());
  const char16_t* const begin = text.data();
  const char16_t* const end = begin + text.size();
  const char16_t* run = begin;
  for (const char16_t* lf = FindUnit(begin, end, u'\n'); lf != end; lf = FindUnit(lf + 1, end, u'\n')) {
    if (lf == begin || lf[-1] != u'\r') {
      out.append(run, lf);
      out += u'\r';
      run = lf;
    }
  }
  out.append(run, end);
  return out;
}

String CrLfToLf(StringView text) {
  String out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace host
