// What assistive technology reads of a TextControl: the system's standard
// accessible object for the window's client area, answering as an editable
// text whose value is the box's text. The text is read and written through
// the control's own messages, so the object stays safe to call after the
// window is gone.
#include <atomic>
#include <new>

#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

class AccessibleText final : public IAccessible {
 public:
  AccessibleText(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
  AccessibleText(const AccessibleText&) = delete;
  AccessibleText& operator=(const AccessibleText&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
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
    role->lVal = ROLE_SYSTEM_TEXT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
    const auto length = static_cast<UINT>(SendMessageW(window_, WM_GETTEXTLENGTH, 0, 0));
    BSTR text = SysAllocStringLen(nullptr, length);
    if (text == nullptr) return E_OUTOFMEMORY;
    const auto copied = static_cast<UINT>(
        SendMessageW(window_, WM_GETTEXT, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(text)));
    if (copied < length) text[copied] = L'\0';
    *value = text;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    if (!IsSelf(child)) return E_INVALIDARG;
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
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return standard_->get_accName(child, name); }
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
    return standard_->accLocation(left, top, width, height, child);
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
  ~AccessibleText() { standard_->Release(); }

  HWND window_;
  IAccessible* standard_;  // owned: one reference
  std::atomic<ULONG> references_{1};
};

}  // namespace

LRESULT TextControl::OnGetObject(WPARAM flags, LPARAM object) {
  if (static_cast<LONG>(object) != OBJID_CLIENT) return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(window_, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard)))) {
    return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  }
  auto* text = new (std::nothrow) AccessibleText(window_, standard);
  if (text == nullptr) {
    standard->Release();
    return DefWindowProcW(window_, WM_GETOBJECT, flags, object);
  }
  const LRESULT result = LresultFromObject(IID_IAccessible, flags, text);
  text->Release();  // the result holds its own reference
  return result;
}

}  // namespace host::win32
