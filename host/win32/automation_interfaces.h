#pragma once
// The parts of the system's UI Automation interface that the compiler's
// headers lack or declare in a form C++ cannot read: the text pattern's two
// provider interfaces, the functions of the library, and the numbers that
// name events, control types and errors, as the platform's documentation
// gives them. The library that serves them is loaded at run
// time (automation_library.h), so nothing here is linked against.
#include <oaidl.h>
#include <uiautomationclient.h>
#include <uiautomationcore.h>

#include "host/win32/windows_api.h"

namespace host::win32::automation {

enum class TextUnit : int { kCharacter = 0, kFormat, kWord, kLine, kParagraph, kPage, kDocument };
enum class Endpoint : int { kStart = 0, kEnd };
enum class SupportedTextSelection : int { kNone = 0, kSingle, kMultiple };

struct Point {
  double x;
  double y;
};

inline constexpr PATTERNID kTextPattern = 10014;
inline constexpr CONTROLTYPEID kEditControl = 50004;
inline constexpr EVENTID kTextSelectionChangedEvent = 20014;
inline constexpr EVENTID kTextChangedEvent = 20015;
inline constexpr LONG kRootObjectId = -25;
inline constexpr HRESULT kNotAvailable = static_cast<HRESULT>(0x80040201);
inline constexpr HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509);

using ReturnRawElementProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using RaiseAutomationEvent = HRESULT(WINAPI*)(IRawElementProviderSimple*, EVENTID);
using ClientsAreListening = BOOL(WINAPI*)();
using GetReservedNotSupportedValue = HRESULT(WINAPI*)(IUnknown**);

}  // namespace host::win32::automation

// The declarations keep the global names and the vtable order of the
// platform's own, as COM calls them by position.
struct ITextRangeProvider;

MIDL_INTERFACE("5347ad7b-c355-46f8-aff5-909033582f63")
ITextRangeProvider : public IUnknown {
  using TextUnit = host::win32::automation::TextUnit;
  using Endpoint = host::win32::automation::Endpoint;
  virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** clone) = 0;
  virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* same) = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(Endpoint endpoint, ITextRangeProvider* target,
                                                     Endpoint target_endpoint, int* order) = 0;
  virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(TextUnit unit) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attribute, VARIANT value, BOOL backward,
                                                  ITextRangeProvider** found) = 0;
  virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignore_case,
                                             ITextRangeProvider** found) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rectangles) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** element) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetText(int max_length, BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE Move(TextUnit unit, int count, int* moved) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(Endpoint endpoint, TextUnit unit, int count, int* moved) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveEndpointByRange(Endpoint endpoint, ITextRangeProvider* target,
                                                        Endpoint target_endpoint) = 0;
  virtual HRESULT STDMETHODCALLTYPE Select() = 0;
  virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL align_to_top) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) = 0;
};
__CRT_UUID_DECL(ITextRangeProvider, 0x5347ad7b, 0xc355, 0x46f8, 0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63)

MIDL_INTERFACE("3589c92c-63f3-4367-99bb-ada653b77cf2")
ITextProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** ranges) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** ranges) = 0;
  virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child, ITextRangeProvider** range) = 0;
  virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(host::win32::automation::Point point,
                                                   ITextRangeProvider** range) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** range) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(
      host::win32::automation::SupportedTextSelection* supported) = 0;
};
__CRT_UUID_DECL(ITextProvider, 0x3589c92c, 0x63f3, 0x4367, 0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2)
