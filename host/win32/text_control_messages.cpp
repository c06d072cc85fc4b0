// The messages other programs send a text box, answered as a multi-line
// edit control answers them: the text, the selection, lines, undo and the
// clipboard. Positions are in UTF-16 code units, as the edit control's are.
#include <algorithm>
#include <climits>
#include <new>

#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

// The edit control's largest text, which EM_GETLIMITTEXT reports: the box
// sets no limit of its own.
constexpr LRESULT kNoLimit = 0x7FFFFFFE;

LRESULT Result(std::size_t value) { return static_cast<LRESULT>(std::min<std::size_t>(value, INT_MAX)); }

// A NUL-terminated text a message carries; none is the empty text.
StringView Given(LPARAM lparam) {
  const auto* units = reinterpret_cast<const char16_t*>(lparam);
  return units != nullptr ? StringView(units) : StringView();
}

}  // namespace

std::optional<LRESULT> TextControl::OnEditMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const String& text = document_.Text();
  switch (message) {
    case WM_SETTEXT: {
      try {
        ResetText(String(Given(lparam)));
      } catch (const std::bad_alloc&) {
        return FALSE;  // the text stays as it was
      }
      return TRUE;
    }
    case WM_GETTEXT: {
      if (wparam == 0 || lparam == 0) return 0;
      const std::size_t count = std::min<std::size_t>(text.size(), wparam - 1);
      auto* out = reinterpret_cast<char16_t*>(lparam);
      std::copy_n(text.data(), count, out);
      out[count] = u'\0';
      return Result(count);
    }
    case WM_GETTEXTLENGTH:
      return Result(text.size());
    case EM_GETSEL: {
      const TextSpan selection = document_.Selection();
      if (wparam != 0) *reinterpret_cast<DWORD*>(wparam) = static_cast<DWORD>(Result(selection.begin));
      if (lparam != 0) *reinterpret_cast<DWORD*>(lparam) = static_cast<DWORD>(Result(selection.end));
      if (selection.end > 0xFFFF) return -1;
      return MAKELRESULT(selection.begin, selection.end);
    }
    case EM_SETSEL: {
      // A start of -1 only drops the selection; an end of -1, or beyond the
      // text, is the text's end. The caret goes to the end given.
      const auto start = static_cast<std::ptrdiff_t>(static_cast<int>(wparam));
      const auto end = static_cast<std::ptrdiff_t>(static_cast<int>(lparam));
      if (start == -1) {
        document_.SetSelection(document_.Caret(), document_.Caret());
        return 0;
      }
      auto clip = [&](std::ptrdiff_t at) {
        return at < 0 ? text.size() : std::min(static_cast<std::size_t>(at), text.size());
      };
      document_.SetSelection(clip(start), clip(end));
      return 0;
    }
    case EM_REPLACESEL: {
      document_.CloseUndoGroup();
      document_.ReplaceSelection(String(Given(lparam)), EditKind::kOther);
      return 0;
    }
    case EM_GETLINECOUNT:
      return Result(document_.LineCount());
    case EM_LINEFROMCHAR: {
      const auto index = static_cast<int>(wparam);
      const std::size_t position = index < 0 ? document_.Selection().begin
                                             : std::min(static_cast<std::size_t>(index), text.size());
      return Result(document_.LineOf(position));
    }
    case EM_LINEINDEX: {
      const auto line = static_cast<int>(wparam);
      if (line < 0) return Result(document_.LineStart(document_.LineOf(document_.Caret())));
      if (static_cast<std::size_t>(line) >= document_.LineCount()) return -1;
      return Result(document_.LineStart(static_cast<std::size_t>(line)));
    }
    case EM_LINELENGTH: {
      const auto index = static_cast<int>(wparam);
      const std::size_t line = document_.LineOf(index < 0 ? document_.Caret()
                                                          : std::min(static_cast<std::size_t>(index), text.size()));
      return Result(document_.LineEnd(line) - document_.LineStart(line));
    }
    case EM_GETFIRSTVISIBLELINE:
      return Result(top_line_);
    case EM_SCROLLCARET:
      ShowPosition(document_.Caret());
      return TRUE;
    case EM_POSFROMCHAR: {
      const POINT at = PointAt(std::min(static_cast<std::size_t>(wparam), text.size()));
      return MAKELRESULT(static_cast<short>(at.x), static_cast<short>(at.y));
    }
    case EM_CHARFROMPOS: {
      const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      const std::size_t position = PositionAt(point);
      return MAKELRESULT(static_cast<WORD>(position), static_cast<WORD>(document_.LineOf(position)));
    }
    case EM_LIMITTEXT:  // EM_SETLIMITTEXT: accepted; there is no limit
      return 0;
    case EM_GETLIMITTEXT:
      return kNoLimit;
    case EM_SETREADONLY:  // the boxes are always editable
      return FALSE;
    case EM_CANUNDO:
      return document_.CanUndo() ? TRUE : FALSE;
    case EM_UNDO:
    case WM_UNDO:
      document_.Undo();
      return TRUE;
    case WM_CUT:
      Cut();
      return 0;
    case WM_COPY:
      Copy();
      return 0;
    case WM_PASTE:
      Paste();
      return 0;
    case WM_CLEAR:
      document_.DeleteSelection();
      return 0;
    case WM_GETOBJECT:
      return OnGetObject(wparam, lparam);
    default:
      return std::nullopt;
  }
}

}  // namespace host::win32
