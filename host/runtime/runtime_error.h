#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/runtime/guid.h"
#include "host/runtime/status.h"

namespace host {

/// Error numbers of the runtime, as the user sees them in the report.
enum class ErrorNumber : std::int32_t {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kInvalidFormat = 321,  // a record the program starts from is malformed
  kAutomation = 440,
};

/// The one error type that ends a handler. It never crosses into a window
/// system's event loop: the host's dispatch catches it and reports it.
class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(ErrorNumber number, std::string description);

  ErrorNumber Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  ErrorNumber number_;
  std::string description_;
};

/// A failed property access or method call: names the object, the interface
/// the call went through, the member and the failing status.
class StatusError : public RuntimeError {
 public:
  StatusError(Status status, std::string object, Guid interface_id, std::string member);

  Status GetStatus() const { return status_; }
  const std::string& Object() const { return object_; }
  const Guid& Interface() const { return interface_; }
  const std::string& Member() const { return member_; }

 private:
  Status status_;
  std::string object_;
  Guid interface_;
  std::string member_;
};

/// Turns a failing status into a StatusError; never returns.
[[noreturn]] void HresultCheckObj(Status status, std::string_view object, const Guid& interface_id,
                                  std::string_view member);

/// Calls HresultCheckObj when `status` failed.
inline void Check(Status status, std::string_view object, const Guid& interface_id,
                  std::string_view member) {
  if (status.Failed()) HresultCheckObj(status, object, interface_id, member);
}

/// Raises the arithmetic error; never returns.
[[noreturn]] void FPException();

}  // namespace host
