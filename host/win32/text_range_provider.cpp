// A range of a TextControl's text as UI Automation's text pattern gives it
// to readers. Every question about units is the text engine's
// (ReaderUnits); this side turns them into the pattern's calls, and no call
// copies more of the text than it hands out.
#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "host/textbox/reader_units.h"
#include "host/win32/automation_library.h"
#include "host/win32/com_object.h"
#include "host/win32/reader_text.h"
#include "host/win32/text_automation.h"
#include "host/win32/text_control.h"

// Ranges of this kind answer this interface with themselves, so that a
// range given back to another can be read.
MIDL_INTERFACE("888c607e-87f8-48b3-ad67-f4d83f641c79") ITextRangeSelf : public IUnknown{};
__CRT_UUID_DECL(ITextRangeSelf, 0x888c607e, 0x87f8, 0x48b3, 0xad, 0x67, 0xf4, 0xd8, 0x3f, 0x64, 0x1c, 0x79)

namespace host::win32 {
namespace {

using automation::Endpoint;
using automation::kInvalidOperation;
using automation::kNotAvailable;
using automation::TextUnit;

std::optional<ReaderUnit> UnitOf(TextUnit unit) {
  switch (unit) {
    case TextUnit::kCharacter: return ReaderUnit::kCharacter;
    case TextUnit::kWord: return ReaderUnit::kWord;
    case TextUnit::kLine:
    case TextUnit::kParagraph: return ReaderUnit::kLine;
    case TextUnit::kFormat:  // the box has one format
    case TextUnit::kPage:
    case TextUnit::kDocument: return ReaderUnit::kDocument;
  }
  return std::nullopt;
}

bool IsEndpoint(Endpoint endpoint) { return endpoint == Endpoint::kStart || endpoint == Endpoint::kEnd; }

// Case is folded as the system folds it for the user's language.
char16_t Folded(char16_t unit) {
  return static_cast<char16_t>(reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(ULONG_PTR{unit}))));
}

class TextRange final : public ComObject<ITextRangeProvider, ITextRangeSelf> {
 public:
  TextRange(HWND window, TextSpan span) : window_(window), span_(span) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(ITextRangeProvider)) {
      return Give(static_cast<ITextRangeProvider*>(this), object);
    }
    if (id == __uuidof(ITextRangeSelf)) return Give(static_cast<ITextRangeSelf*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
  }

  HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** clone) override {
    if (clone == nullptr) return E_POINTER;
    *clone = CreateTextRange(window_, span_);
    return *clone != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* same) override {
    if (same == nullptr) return E_POINTER;
    TextRange* other = Of(range);
    if (other == nullptr) return E_INVALIDARG;
    if (!Clamp() || !other->Clamp()) return kNotAvailable;
    *same = span_.begin == other->span_.begin && span_.end == other->span_.end;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CompareEndpoints(Endpoint endpoint, ITextRangeProvider* target, Endpoint target_endpoint,
                                             int* order) override {
    if (order == nullptr) return E_POINTER;
    TextRange* other = Of(target);
    if (other == nullptr || !IsEndpoint(endpoint) || !IsEndpoint(target_endpoint)) return E_INVALIDARG;
    if (!Clamp() || !other->Clamp()) return kNotAvailable;
    const std::size_t mine = At(endpoint);
    const std::size_t theirs = other->At(target_endpoint);
    *order = mine < theirs ? -1 : mine > theirs ? 1 : 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(TextUnit unit) override {
    const std::optional<ReaderUnit> reader = UnitOf(unit);
    if (!reader) return E_INVALIDARG;
    if (!Clamp()) return kNotAvailable;
    span_ = ReaderUnits(Control()->Document(), *reader).At(span_.begin);
    return S_OK;
  }

  // The box has one format: no attribute has a value to be found.
  HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL, ITextRangeProvider** found) override {
    if (found == nullptr) return E_POINTER;
    *found = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignore_case, ITextRangeProvider** found) override {
    if (found == nullptr) return E_POINTER;
    *found = nullptr;
    const UINT length = SysStringLen(text);
    if (length == 0) return E_INVALIDARG;
    if (!Clamp()) return kNotAvailable;
    const StringView within = StringView(Control()->Document().Text()).substr(span_.begin, span_.end - span_.begin);
    const StringView sought(reinterpret_cast<const char16_t*>(text), length);
    auto same = [ignore_case](char16_t a, char16_t b) { return a == b || (ignore_case && Folded(a) == Folded(b)); };
    std::size_t at = StringView::npos;
    if (backward) {
      const auto hit = std::find_end(within.begin(), within.end(), sought.begin(), sought.end(), same);
      if (hit != within.end()) at = static_cast<std::size_t>(hit - within.begin());
    } else {
      const auto hit = std::search(within.begin(), within.end(), sought.begin(), sought.end(), same);
      if (hit != within.end()) at = static_cast<std::size_t>(hit - within.begin());
    }
    if (at == StringView::npos) return S_OK;
    *found = CreateTextRange(window_, {span_.begin + at, span_.begin + at + length});
    return *found != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  // Attributes are not told: the box shows its text in one font and colour.
  HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID, VARIANT* value) override {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    if (IUnknown* not_supported = AutomationLibrary().NotSupportedValue()) {
      value->vt = VT_UNKNOWN;
      value->punkVal = not_supported;
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rectangles) override;

  HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** element) override {
    if (element == nullptr) return E_POINTER;
    *element = CreateTextAutomation(window_);
    return *element != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetText(int max_length, BSTR* text) override {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    if (max_length < -1) return E_INVALIDARG;
    if (!Clamp()) return kNotAvailable;
    const std::size_t cap = max_length == -1 ? host::kReaderTextCap : static_cast<std::size_t>(max_length);
    const std::size_t length = std::min(span_.end - span_.begin, cap);
    const auto* units = reinterpret_cast<const OLECHAR*>(Control()->Document().Text().data() + span_.begin);
    *text = SysAllocStringLen(units, static_cast<UINT>(length));
    return *text != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE Move(TextUnit unit, int count, int* moved) override {
    return Step(unit, moved, [&](const ReaderUnits& units) { return MoveRange(units, span_, count); });
  }

  HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(Endpoint endpoint, TextUnit unit, int count, int* moved) override {
    if (!IsEndpoint(endpoint)) return E_INVALIDARG;
    return Step(unit, moved, [&](const ReaderUnits& units) {
      return MoveEndpoint(units, span_, endpoint == Endpoint::kEnd, count);
    });
  }

  HRESULT STDMETHODCALLTYPE MoveEndpointByRange(Endpoint endpoint, ITextRangeProvider* target,
                                                Endpoint target_endpoint) override {
    TextRange* other = Of(target);
    if (other == nullptr || !IsEndpoint(endpoint) || !IsEndpoint(target_endpoint)) return E_INVALIDARG;
    if (!Clamp() || !other->Clamp()) return kNotAvailable;
    const std::size_t position = other->At(target_endpoint);
    if (endpoint == Endpoint::kStart) {
      span_ = {position, std::max(span_.end, position)};
    } else {
      span_ = {std::min(span_.begin, position), position};
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Select() override {
    if (!Clamp()) return kNotAvailable;
    Control()->Document().SetSelection(span_.begin, span_.end);
    return S_OK;
  }
  // The box has a single selection, as the system's edit control.
  HRESULT STDMETHODCALLTYPE AddToSelection() override { return kInvalidOperation; }
  HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return kInvalidOperation; }

  HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL align_to_top) override {
    if (!Clamp()) return kNotAvailable;
    Control()->ShowPosition(align_to_top ? span_.begin : span_.end);
    return S_OK;
  }

  // Text holds no elements.
  HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) override {
    if (children == nullptr) return E_POINTER;
    *children = SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
    return *children != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  TextControl* Control() const { return TextControl::From(window_); }

  // Puts the range back inside the text as it is now; false once the
  // window is gone.
  bool Clamp() {
    const TextControl* control = Control();
    if (control == nullptr) return false;
    span_ = ClampRange(control->Document().Text(), span_);
    return true;
  }

  std::size_t At(Endpoint endpoint) const { return endpoint == Endpoint::kStart ? span_.begin : span_.end; }

  template <typename Moving>
  HRESULT Step(TextUnit unit, int* moved, Moving moving) {
    if (moved == nullptr) return E_POINTER;
    *moved = 0;
    const std::optional<ReaderUnit> reader = UnitOf(unit);
    if (!reader) return E_INVALIDARG;
    if (!Clamp()) return kNotAvailable;
    *moved = moving(ReaderUnits(Control()->Document(), *reader));
    return S_OK;
  }

  // A range of this box behind `range`, or null.
  TextRange* Of(ITextRangeProvider* range) const {
    ITextRangeSelf* self = nullptr;
    if (range == nullptr || FAILED(range->QueryInterface(__uuidof(ITextRangeSelf), reinterpret_cast<void**>(&self)))) {
      return nullptr;
    }
    self->Release();  // the caller's reference keeps it
    auto* other = static_cast<TextRange*>(self);
    return other->window_ == window_ ? other : nullptr;
  }

  HWND window_;
  TextSpan span_;
};

// One rectangle, on the screen, for each line of the range in view, cut to
// the text area; an empty range has one of no width where the caret would be.
HRESULT TextRange::GetBoundingRectangles(SAFEARRAY** rectangles) {
  if (rectangles == nullptr) return E_POINTER;
  *rectangles = nullptr;
  if (!Clamp()) return kNotAvailable;
  const TextControl& control = *Control();
  const TextDocument& document = control.Document();
  const RECT area = control.TextArea();
  const std::size_t top = control.TopLine();
  const auto rows = static_cast<std::size_t>((area.bottom - area.top + control.LineHeight() - 1) / control.LineHeight());
  const std::size_t first = std::max(document.LineOf(span_.begin), top);
  const std::size_t last = std::min(document.LineOf(span_.end), top + rows);
  std::vector<double> values;
  for (std::size_t line = first; line <= last && line < top + rows; ++line) {
    const std::size_t begin = std::max(span_.begin, document.LineStart(line));
    const std::size_t end = std::min(span_.end, document.LineEnd(line));
    if (end < begin || (end == begin && span_.begin != span_.end)) continue;
    POINT from = control.PointAt(begin);
    POINT to = control.PointAt(end);
    from.x = std::clamp(from.x, area.left, area.right);
    to.x = std::clamp(to.x, area.left, area.right);
    if (to.x == from.x && span_.begin != span_.end) continue;
    ClientToScreen(control.Handle(), &from);
    ClientToScreen(control.Handle(), &to);
    values.insert(values.end(), {static_cast<double>(from.x), static_cast<double>(from.y),
                                 static_cast<double>(to.x - from.x), static_cast<double>(control.LineHeight())});
  }
  *rectangles = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
  if (*rectangles == nullptr) return E_OUTOFMEMORY;
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) SafeArrayPutElement(*rectangles, &i, &values[i]);
  return S_OK;
}

}  // namespace

ITextRangeProvider* CreateTextRange(HWND window, TextSpan span) {
  return new (std::nothrow) TextRange(window, span);
}

}  // namespace host::win32
