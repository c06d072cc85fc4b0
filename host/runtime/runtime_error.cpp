#include "host/runtime/runtime_error.h"

#include <cstdio>
#include <utility>

namespace host {
namespace {

std::string StatusText(Status status) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status.code));
  return text;
}

std::string DescribeStatus(Status status) {
  if (status == kOutOfMemory) return "Out of memory";
  return "Method failed with status " + StatusText(status);
}

ErrorNumber NumberOf(Status status) {
  return status == kOutOfMemory ? ErrorNumber::kOutOfMemory : ErrorNumber::kAutomation;
}

}  // namespace

RuntimeError::RuntimeError(ErrorNumber number, std::string description)
    : std::runtime_error("Run-time error '" + std::to_string(static_cast<int>(number)) + "': " +
                         description),
      number_(number),
      description_(std::move(description)) {}

StatusError::StatusError(Status status, std::string object, Guid interface_id, std::string member)
    : RuntimeError(NumberOf(status), DescribeStatus(status) + " in '" + member + "' of object '" +
                                         object + "' (interface " + interface_id.ToString() + ")"),
      status_(status),
      object_(std::move(object)),
      interface_(interface_id),
      member_(std::move(member)) {}

void HresultCheckObj(Status status, std::string_view object, const Guid& interface_id,
                     std::string_view member) {
  throw StatusError(status, std::string(object), interface_id, std::string(member));
}

void FPException() { throw RuntimeError(ErrorNumber::kOverflow, "Overflow"); }

}  // namespace host
