#pragma once
#include <atomic>

#include "host/win32/windows_api.h"

namespace host::win32 {

/// The reference count of a COM object made with new that implements
/// `Interfaces`: it is born with one reference, its caller's, and deletes
/// itself at the last release.
template <typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

  /// Hands out `self` as the interface asked for, with a reference.
  template <typename Interface>
  HRESULT Give(Interface* self, void** object) {
    *object = self;
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace host::win32
