// The UI Automation element of a TextControl: what Narrator and other
// readers of the platform's newer interface ask of a text box. The system
// gives the element its place, bounds and focus through the window's own
// provider; this one tells what the box is and serves the text pattern,
// whose ranges are text_range_provider.cpp's.
#include <algorithm>
#include <new>
#include <string>

#include "host/win32/automation_library.h"
#include "host/win32/com_object.h"
#include "host/win32/reader_text.h"
#include "host/win32/text_automation.h"
#include "host/win32/text_control.h"

namespace host::win32 {
namespace {

using automation::kNotAvailable;
using automation::SupportedTextSelection;

HRESULT Text(const std::wstring& text, VARIANT* value) {
  value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (value->bstrVal == nullptr) return E_OUTOFMEMORY;
  value->vt = VT_BSTR;
  return S_OK;
}

void Flag(bool flag, VARIANT* value) {
  value->vt = VT_BOOL;
  value->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

// An array of the ranges, each with its own reference; null if memory is short.
SAFEARRAY* RangeArray(HWND window, std::initializer_list<TextSpan> spans) {
  SAFEARRAY* ranges = SafeArrayCreateVector(VT_UNKNOWN, 0, static_cast<ULONG>(spans.size()));
  LONG index = 0;
  for (const TextSpan& span : spans) {
    ITextRangeProvider* range = CreateTextRange(window, span);
    if (ranges == nullptr || range == nullptr) {
      if (range != nullptr) range->Release();
      if (ranges != nullptr) SafeArrayDestroy(ranges);
      return nullptr;
    }
    SafeArrayPutElement(ranges, &index, range);  // the array takes a reference of its own
    range->Release();
    ++index;
  }
  return ranges;
}

class TextElement final : public ComObject<IRawElementProviderSimple, ITextProvider> {
 public:
  explicit TextElement(HWND window) : window_(window) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IRawElementProviderSimple)) {
      return Give(static_cast<IRawElementProviderSimple*>(this), object);
    }
    if (id == __uuidof(ITextProvider)) return Give(static_cast<ITextProvider*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
  }

  // IRawElementProviderSimple. Calls come on the window's thread, where
  // COM's rules put them: the control is only ever touched there.
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
    if (options == nullptr) return E_POINTER;
    *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** provider) override {
    if (provider == nullptr) return E_POINTER;
    *provider = nullptr;
    if (pattern != automation::kTextPattern) return S_OK;
    return QueryInterface(__uuidof(ITextProvider), reinterpret_cast<void**>(provider));
  }

  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    if (!IsWindow(window_)) return kNotAvailable;
    try {
      switch (property) {
        case UIA_ControlTypePropertyId:
          value->vt = VT_I4;
          value->lVal = automation::kEditControl;
          return S_OK;
        case UIA_NamePropertyId:
          // Empty rather than none without a label: the window's own
          // provider would otherwise name the box by its text.
          return Text(LabelText(window_), value);
        case UIA_ValueValuePropertyId:
          return Text(ReaderValue(window_), value);
        case UIA_IsKeyboardFocusablePropertyId:
          Flag(true, value);
          return S_OK;
        case UIA_HasKeyboardFocusPropertyId:
          Flag(GetFocus() == window_, value);
          return S_OK;
        case UIA_IsPasswordPropertyId:
          Flag(false, value);
          return S_OK;
        default:  // the window's own provider answers the rest
          return S_OK;
      }
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
    if (host == nullptr) return E_POINTER;
    *host = AutomationLibrary().HostProvider(window_);
    return S_OK;
  }

  // ITextProvider
  HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** ranges) override {
    if (ranges == nullptr) return E_POINTER;
    *ranges = nullptr;
    const TextControl* control = TextControl::From(window_);
    if (control == nullptr) return kNotAvailable;
    // Without a selection, the caret is an empty range where it stands.
    *ranges = RangeArray(window_, {control->Document().Selection()});
    return *ranges != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  // The lines in view, whole: the box shows every line from its start or
  // from where it is scrolled across.
  HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** ranges) override {
    if (ranges == nullptr) return E_POINTER;
    *ranges = nullptr;
    const TextControl* control = TextControl::From(window_);
    if (control == nullptr) return kNotAvailable;
    const TextDocument& document = control->Document();
    const RECT area = control->TextArea();
    const auto rows = static_cast<std::size_t>(
        std::max<LONG>(1, (area.bottom - area.top + control->LineHeight() - 1) / control->LineHeight()));
    const std::size_t first = std::min(control->TopLine(), document.LineCount() - 1);
    const std::size_t last = std::min(first + rows, document.LineCount()) - 1;
    *ranges = RangeArray(window_, {TextSpan{document.LineStart(first), document.LineEnd(last)}});
    return *ranges != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  // Text holds no elements to ask a range for.
  HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple*, ITextRangeProvider** range) override {
    if (range == nullptr) return E_POINTER;
    *range = nullptr;
    return E_INVALIDARG;
  }

  HRESULT STDMETHODCALLTYPE RangeFromPoint(automation::Point point, ITextRangeProvider** range) override {
    if (range == nullptr) return E_POINTER;
    *range = nullptr;
    const TextControl* control = TextControl::From(window_);
    if (control == nullptr) return kNotAvailable;
    POINT at{static_cast<LONG>(point.x), static_cast<LONG>(point.y)};
    ScreenToClient(window_, &at);
    const std::size_t position = control->PositionAt(at);
    *range = CreateTextRange(window_, {position, position});
    return *range != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** range) override {
    if (range == nullptr) return E_POINTER;
    *range = nullptr;
    const TextControl* control = TextControl::From(window_);
    if (control == nullptr) return kNotAvailable;
    *range = CreateTextRange(window_, {0, control->Document().Size()});
    return *range != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(SupportedTextSelection* supported) override {
    if (supported == nullptr) return E_POINTER;
    *supported = SupportedTextSelection::kSingle;
    return S_OK;
  }

 private:
  HWND window_;
};

}  // namespace

IRawElementProviderSimple* CreateTextAutomation(HWND window) {
  return new (std::nothrow) TextElement(window);
}

}  // namespace host::win32
