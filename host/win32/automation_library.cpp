#include "host/win32/automation_library.h"

namespace host::win32 {
namespace {

// A function of the library as the type it is declared with; null if absent.
template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  if (module == nullptr) return;
  // Through the generic function type, which any function pointer converts to and back.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

AutomationLibrary::AutomationLibrary()
    : module_(LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
  Find(module_, "UiaReturnRawElementProvider", return_provider_);
  Find(module_, "UiaHostProviderFromHwnd", host_provider_);
  Find(module_, "UiaRaiseAutomationEvent", raise_event_);
  Find(module_, "UiaClientsAreListening", clients_listening_);
  Find(module_, "UiaGetReservedNotSupportedValue", not_supported_);
}

AutomationLibrary::~AutomationLibrary() {
  if (module_ != nullptr) FreeLibrary(module_);
}

LRESULT AutomationLibrary::ReturnProvider(HWND window, WPARAM flags, LPARAM object,
                                          IRawElementProviderSimple* provider) const {
  return return_provider_ != nullptr ? return_provider_(window, flags, object, provider) : 0;
}

IRawElementProviderSimple* AutomationLibrary::HostProvider(HWND window) const {
  IRawElementProviderSimple* host = nullptr;
  if (host_provider_ == nullptr || FAILED(host_provider_(window, &host))) return nullptr;
  return host;
}

bool AutomationLibrary::ClientsListening() const {
  return clients_listening_ != nullptr && clients_listening_() != FALSE;
}

void AutomationLibrary::RaiseEvent(IRawElementProviderSimple* provider, EVENTID event) const {
  if (raise_event_ != nullptr) raise_event_(provider, event);
}

IUnknown* AutomationLibrary::NotSupportedValue() const {
  IUnknown* value = nullptr;
  if (not_supported_ == nullptr || FAILED(not_supported_(&value))) return nullptr;
  return value;
}

}  // namespace host::win32
