#include "host/runtime/arithmetic.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "host/runtime/runtime_error.h"

namespace host {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kMaxFloat = std::numeric_limits<float>::max();
constexpr double kMinDouble = std::numeric_limits<double>::denorm_min();

struct FaultCase {
  const char* name;
  std::function<double()> step;
};

class CheckedStepFails : public testing::TestWithParam<FaultCase> {};

TEST_P(CheckedStepFails, RaisesOverflowError) {
  EXPECT_THROW(GetParam().step(), RuntimeError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckedStepFails,
    testing::Values(
        FaultCase{"nan_reading", [] { return CheckedSubtract(kNaN, 1800); }},
        FaultCase{"infinite_reading", [] { return CheckedSubtract(kInfinity, 1800); }},
        FaultCase{"infinity_minus_infinity", [] { return CheckedSubtract(kInfinity, kInfinity); }},
        FaultCase{"product_overflows", [] { return CheckedMultiply(1e300, 1e300); }},
        FaultCase{"product_nan_ratio", [] { return CheckedMultiply(1.0, kNaN); }},
        FaultCase{"zero_times_infinity", [] { return CheckedMultiply(0.0, kInfinity); }},
        FaultCase{"division_by_zero", [] { return CheckedDivide(1.0, 0.0); }},
        FaultCase{"zero_by_zero", [] { return CheckedDivide(0.0, 0.0); }},
        FaultCase{"single_overflows", [] { return double{CheckedToSingle(1e39)}; }},
        FaultCase{"single_of_nan", [] { return double{CheckedToSingle(kNaN)}; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckedSteps, PassInexactUnderflowAndDenormals) {
  EXPECT_DOUBLE_EQ(CheckedSubtract(10890, 1800), 9090);
  EXPECT_DOUBLE_EQ(CheckedSubtract(100, 1800), -1700);  // negative is no fault
  EXPECT_DOUBLE_EQ(CheckedDivide(1, 3), 1.0 / 3);        // inexact
  EXPECT_EQ(CheckedMultiply(kMinDouble, 0.5), 0.0);      // underflow
  EXPECT_EQ(CheckedMultiply(kMinDouble, 1.0), kMinDouble);
  EXPECT_EQ(CheckedToSingle(1e-50), 0.0f);               // underflow to zero
  EXPECT_EQ(CheckedToSingle(kMaxFloat), kMaxFloat);
  EXPECT_EQ(CheckedToSingle(1.0 / 3), static_cast<float>(1.0 / 3));
}

TEST(CheckedSteps, SubtractionIsDoneInDoublePrecision) {
  // 16777217 is not a float, but the difference of two floats read in
  // double precision keeps every bit.
  EXPECT_EQ(CheckedSubtract(16777216.0f, -1.0f), 16777217.0);
}

TEST(CheckedSteps, TheProductIsRoundedOnceToDoublePrecision) {
  // A layout step, (5331 - 1330) * ratio: the exact product lies just below
  // the midpoint between two doubles, so it rounds down. Rounded first to a
  // wider format (the x87 registers' 64 bits), it lands on the midpoint and
  // then rounds up: the result must not depend on that.
  const double ratio = 0x1.fa5479ac65c61p-1;
  EXPECT_EQ(CheckedMultiply(CheckedSubtract(5331.0f, 1330.0f), ratio), 0x1.ee962419f629dp+11);
}

}  // namespace
}  // namespace host
