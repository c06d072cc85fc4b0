#pragma once
#include "host/win32/automation_interfaces.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// The system's UI Automation library, loaded at run time for the life of
/// the owner. Where the system has none, or lacks a function, each call
/// answers as if no client were there, and assistive technology reads the
/// box through its MSAA object alone.
class AutomationLibrary {
 public:
  AutomationLibrary();
  AutomationLibrary(const AutomationLibrary&) = delete;
  AutomationLibrary& operator=(const AutomationLibrary&) = delete;
  ~AutomationLibrary();

  bool Loaded() const { return return_provider_ != nullptr; }
  /// Answers WM_GETOBJECT with `provider`; 0 without the library.
  LRESULT ReturnProvider(HWND window, WPARAM flags, LPARAM object, IRawElementProviderSimple* provider) const;
  /// The system's provider for the window itself, which gives the element
  /// its place among the others; null without one. The caller releases it.
  IRawElementProviderSimple* HostProvider(HWND window) const;
  /// Whether any client listens for events; false without the library.
  bool ClientsListening() const;
  void RaiseEvent(IRawElementProviderSimple* provider, EVENTID event) const;
  /// The value that says an attribute is not supported; null without one.
  IUnknown* NotSupportedValue() const;

 private:
  HMODULE module_;
  automation::ReturnRawElementProvider return_provider_ = nullptr;
  automation::HostProviderFromHwnd host_provider_ = nullptr;
  automation::RaiseAutomationEvent raise_event_ = nullptr;
  automation::ClientsAreListening clients_listening_ = nullptr;
  automation::GetReservedNotSupportedValue not_supported_ = nullptr;
};

}  // namespace host::win32
