// What assistive technology reads of a TextControl: the system's standard
// accessible object for the window's client area, answering as an editable
// text named by its label, whose value is the box's text. The text is read
// and written through the control's own messages, so the object stays safe
// to call after the window is gone. The same object, asked as OBJID_CARET,
// is the caret: where the system caret is while the box has it.
#include <new>
#include <string>

#include "host/win32/com_object.h"
#include "host/win32/reader_text.h"
#include "host/win32/text_automation.h"
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Where the window's system caret is, on the screen; false while the
// window has none.
bool CaretRect(HWND window, RECT& rect) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndCaret != window) return false;
  rect = info.rcCaret;
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return true;
}

class AccessibleText final : public ComObject<IAccessible> {
 public:
  AccessibleText(HWND window, IAccessible* standard, bool caret)
      : window_(window), standard_(standard), caret_(caret) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
      return Give(static_cast<IAccessible*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

  // IDispatch: what the standard object answers.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* wrong) override {
    return standard_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
  }

  // IAccessible: role and value are a text's; the rest is the standard
  // object's for the window.
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    if (!IsSelf(child)) return standard_->get_accRole(child, role);
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = caret_ ? ROLE_SYSTEM_CARET : ROLE_SYSTEM_TEXT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    if (!IsSelf(child)) return E_INVALIDARG;
    if (caret_) return DISP_E_MEMBERNOTFOUND;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    std::wstring text;
    try {
      text = ReaderValue(window_);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    if (!IsSelf(child)) return E_INVALIDARG;
    if (caret_) return DISP_E_MEMBERNOTFOUND;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    // A NUL inside would end the text the message carries; the text is taken whole or not at all.
    const UINT length = SysStringLen(value);
    for (UINT i = 0; i < length; ++i) {
      if (value[i] == L'\0') return E_INVALIDARG;
    }
    return SendMessageW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value != nullptr ? value : L""))
               ? S_OK
               : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (caret_ && IsSelf(child) && state != nullptr) {
      RECT rect{};
      VariantInit(state);
      state->vt = VT_I4;
      state->lVal = CaretRect(window_, rect) ? 0 : STATE_SYSTEM_INVISIBLE;
      return S_OK;
    }
    const HRESULT result = standard_->get_accState(child, state);
    // Never read-only, whatever the standard object guesses of an unknown class.
    if (SUCCEEDED(result) && IsSelf(child) && state->vt == VT_I4) state->lVal &= ~STATE_SYSTEM_READONLY;
    return result;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  // The label's caption, as the system names an edit control; never the text.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    if (!IsSelf(child)) return standard_->get_accName(child, name);
    if (caret_) return S_FALSE;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    const std::wstring label = LabelText(window_);
    if (label.empty()) return S_FALSE;
    *name = SysAllocStringLen(label.data(), static_cast<UINT>(label.size()));
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return standard_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!caret_ || !IsSelf(child)) return standard_->accLocation(left, top, width, height, child);
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    RECT rect{};
    if (!CaretRect(window_, rect)) return S_FALSE;
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
    return standard_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }

 private:
  ~AccessibleText() override { standard_->Release(); }

  HWND window_;
  IAccessible* standard_;  // owned: one reference
  bool caret_;              // the caret's object rather than the text's
};

}  // namespace

// The caret is answered here too, since not every system offers a standard
// object for it. UI Automation's clients are given the element with the
// text pattern where the system has the library that serves it.
LRESULT TextControl::OnGetObject(WPARAM flags, LPARAM object) {
  const auto id = static_cast<LONG>(object);
  if (id == automation::kRootObjectId && automation_.Loaded()) {
    IRawElementProviderSimple* element = CreateTextAutomation(window_);
    if (element == nullptr) return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
    const LRESULT result = automation_.ReturnProvider(window_, flags, object, element);
    element->Release();  // the result holds its own reference
    return result;
  }
  if (id != OBJID_CLIENT && id != OBJID_CARET) return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(window_, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard)))) {
    return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  }
  auto* text = new (std::nothrow) AccessibleText(window_, standard, id == OBJID_CARET);
  if (text == nullptr) {
    standard->Release();
    return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  }
  const LRESULT result = LresultFromObject(IID_IAccessible, flags, text);
  text->Release();  // the result holds its own reference
  return result;
}

void TextControl::RaiseAutomationEvent(EVENTID event) {
  if (!automation_.ClientsListening()) return;
  if (IRawElementProviderSimple* element = CreateTextAutomation(window_)) {
    automation_.RaiseEvent(element, event);
    element->Release();
  }
}

}  // namespace host::win32
