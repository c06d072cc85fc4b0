#include "host/runtime/replace.h"

#include <new>
#include <stdexcept>
#include <string>

#include "host/fastpath/fastpath.h"
#include "host/runtime/runtime_error.h"

namespace host {
namespace {

[[noreturn]] void InvalidCall(const char* why) {
  throw RuntimeError(ErrorNumber::kInvalidProcedureCall, std::string("Invalid procedure call: ") + why);
}

// Runs `make`, reporting a failure to allocate as the runtime's error.
template <class Make>
String Guarded(Make make) {
  try {
    return make();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  throw RuntimeError(ErrorNumber::kOutOfMemory, "Out of memory");
}

}  // namespace

String Replace(StringView text, StringView find, StringView with, std::int32_t start,
               std::int32_t count, Compare compare) {
  if (start < 1) InvalidCall("start must be 1 or more");
  if (count < -1) InvalidCall("count must be -1 or more");
  if (compare != Compare::kBinary) InvalidCall("only binary comparison is supported");
  const auto first = static_cast<std::size_t>(start) - 1;
  if (first >= text.size()) return String();
  return Guarded([&] {
    String out;
    std::size_t from = first;
    // count -1 never reaches `done`: every occurrence is replaced. The scan
    // goes on behind each match, so inserted text is never searched.
    for (std::int32_t done = 0; !find.empty() && done != count; ++done) {
      const std::size_t at = text.find(find, from);
      if (at == StringView::npos) break;
      out.append(text.substr(from, at - from)).append(with);
      from = at + find.size();
    }
    return out.append(text.substr(from));
  });
}

String ReplaceOwned(String&& text, StringView find, StringView with, std::int32_t start,
                    std::int32_t count, Compare compare) {
  if (find.size() != 1 || start != 1 || count != -1 || compare != Compare::kBinary) {
    return Replace(StringView(text), find, with, start, count, compare);
  }
  return Guarded([&] { return fast::ReplaceEveryUnit(std::move(text), find[0], with); });
}

String StrCat(StringView left, StringView right) {
  return Guarded([&] {
    String out;
    out.reserve(left.size() + right.size());
    return out.append(left).append(right);
  });
}

}  // namespace host
