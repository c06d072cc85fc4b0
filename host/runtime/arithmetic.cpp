#include "host/runtime/arithmetic.h"

#include <cfenv>
#include <cmath>

#include "host/runtime/runtime_error.h"

namespace host {
namespace {

constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// The volatile store keeps the operation ahead of the flag test.
template <class T, class Operation>
T Checked(Operation operation) {
  std::feclearexcept(kFaults);
  volatile T result = operation();
  const bool faulted = std::fetestexcept(kFaults) != 0;
  const T value = result;
  if (faulted || !std::isfinite(value)) FPException();
  return value;
}

}  // namespace

double CheckedSubtract(float left, float right) {
  return Checked<double>([=] { return static_cast<double>(left) - static_cast<double>(right); });
}

double CheckedMultiply(double left, double right) {
  return Checked<double>([=] { return left * right; });
}

double CheckedDivide(double left, double right) {
  return Checked<double>([=] { return left / right; });
}

float CheckedToSingle(double value) {
  return Checked<float>([=] { return static_cast<float>(value); });
}

}  // namespace host
