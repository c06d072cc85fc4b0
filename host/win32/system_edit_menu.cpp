#include "host/win32/system_edit_menu.h"

#include <iterator>
#include <utility>

namespace host::win32 {
namespace {

// Where the system keeps the edit control's menu: some systems number it,
// others name it.
const wchar_t* const kMenuNames[] = {MAKEINTRESOURCEW(1), L"EDITMENU"};

// An item is the edit control's if it carries one of its commands; any
// other menu of that number is not taken for it.
bool HasItem(HMENU menu, UINT id) { return GetMenuStringW(menu, id, nullptr, 0, MF_BYCOMMAND) > 0; }

}  // namespace

SystemEditMenu::SystemEditMenu() {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (user == nullptr) return;
  for (const wchar_t* name : kMenuNames) {
    UniqueMenu menu(LoadMenuW(user, name));
    if (menu != nullptr && HasItem(menu.get(), WM_COPY) && HasItem(menu.get(), WM_PASTE)) {
      menu_ = std::move(menu);
      return;
    }
  }
}

std::wstring SystemEditMenu::Text(std::initializer_list<UINT> ids, const wchar_t* fallback) const {
  if (menu_ != nullptr) {
    for (const UINT id : ids) {
      wchar_t text[128] = {};
      if (GetMenuStringW(menu_.get(), id, text, static_cast<int>(std::size(text)), MF_BYCOMMAND) > 0) return text;
    }
  }
  return fallback;
}

}  // namespace host::win32
