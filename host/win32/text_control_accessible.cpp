// What assistive technology reads of a TextControl: the system's own
// accessible object for an edit control, which reads the text, the
// selection and the caret through the edit messages the control answers.
#include "host/win32/text_control.h"

namespace host::win32 {

LRESULT TextControl::OnGetObject(WPARAM flags, LPARAM object) {
  if (static_cast<LONG>(object) != OBJID_CLIENT) return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  IAccessible* accessible = nullptr;
  if (FAILED(CreateStdAccessibleProxyW(window_, WC_EDITW, OBJID_CLIENT, IID_IAccessible,
                                       reinterpret_cast<void**>(&accessible)))) {
    return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  }
  const LRESULT result = LresultFromObject(IID_IAccessible, flags, accessible);
  accessible->Release();  // the result holds its own reference
  return result;
}

}  // namespace host::win32
