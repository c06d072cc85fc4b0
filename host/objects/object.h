#pragma once
#include <cstdint>
#include <utility>

namespace host {

/// Base of every window and control the host hands out. The host keeps one
/// reference for the life of the window; handlers take their own through Ref.
class Object {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  void AddRef() { ++references_; }
  void Release() { --references_; }
  std::int32_t References() const { return references_; }

 protected:
  ~Object() = default;

 private:
  std::int32_t references_ = 1;  // the host's own
};

/// A counted reference, released when it goes out of scope on every path.
template <class T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* object) : object_(object) {
    if (object_) object_->AddRef();
  }
  Ref(const Ref& other) : Ref(other.object_) {}
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Ref() {
    if (object_) object_->Release();
  }

  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

}  // namespace host
