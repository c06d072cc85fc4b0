#pragma once

namespace host {

// Checked floating-point steps. Each runs in double precision and raises
// FPException when the step was an invalid operation, a division by zero or
// an overflow; inexact results, underflow and denormals pass. A result that
// is not finite fails too, since a NaN or infinite operand passes through an
// operation without raising any flag.

double CheckedSubtract(float left, float right);
double CheckedMultiply(double left, double right);
double CheckedDivide(double left, double right);
/// Rounds to single precision; fails when the value does not fit.
float CheckedToSingle(double value);

}  // namespace host
