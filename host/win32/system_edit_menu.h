#pragma once
#include <initializer_list>
#include <string>

#include "host/win32/handles.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// The context menu the system's own edit control shows, as the system
/// keeps it in the user's language: its item texts, found by command.
class SystemEditMenu {
 public:
  SystemEditMenu();

  /// The text of the system's item numbered by one of `ids`, or `fallback`
  /// where the system has none.
  std::wstring Text(std::initializer_list<UINT> ids, const wchar_t* fallback) const;

 private:
  UniqueMenu menu_;
};

}  // namespace host::win32
