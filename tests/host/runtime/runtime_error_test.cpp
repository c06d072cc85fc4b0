#include "host/runtime/runtime_error.h"

#include <gtest/gtest.h>

namespace host {
namespace {

constexpr Guid kSomeInterface{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

TEST(Guid, PrintsInRegistryForm) {
  EXPECT_EQ(kSomeInterface.ToString(), "{01234567-89AB-CDEF-0123-456789ABCDEF}");
  EXPECT_EQ(Guid{}.ToString(), "{00000000-0000-0000-0000-000000000000}");
}

TEST(HresultCheckObj, RaisesErrorNamingObjectInterfaceAndMember) {
  try {
    HresultCheckObj(Status{static_cast<std::int32_t>(0x80004005u)}, "Inputs", kSomeInterface, "Text");
    FAIL() << "returned";
  } catch (const StatusError& error) {
    EXPECT_EQ(error.Object(), "Inputs");
    EXPECT_EQ(error.Member(), "Text");
    EXPECT_EQ(error.Interface(), kSomeInterface);
    EXPECT_EQ(error.GetStatus().code, static_cast<std::int32_t>(0x80004005u));
    EXPECT_EQ(error.Number(), ErrorNumber::kAutomation);
    EXPECT_STREQ(error.what(),
                 "Run-time error '440': Method failed with status 0x80004005 in 'Text' of object "
                 "'Inputs' (interface {01234567-89AB-CDEF-0123-456789ABCDEF})");
  }
}

TEST(HresultCheckObj, OutOfMemoryStatusBecomesOutOfMemoryError) {
  try {
    HresultCheckObj(kOutOfMemory, "JSONfrm", kSomeInterface, "JSONFormat");
    FAIL() << "returned";
  } catch (const StatusError& error) {
    EXPECT_EQ(error.Number(), ErrorNumber::kOutOfMemory);
    EXPECT_EQ(error.Description().rfind("Out of memory in 'JSONFormat'", 0), 0u);
  }
}

TEST(Check, PassesSuccessAndRaisesOnFailure) {
  EXPECT_NO_THROW(Check(kOk, "x", kSomeInterface, "y"));
  EXPECT_NO_THROW(Check(Status{1}, "x", kSomeInterface, "y"));  // success with information
  EXPECT_THROW(Check(kUnexpected, "x", kSomeInterface, "y"), StatusError);
}

TEST(FPException, RaisesOverflowError) {
  try {
    FPException();
    FAIL() << "returned";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), ErrorNumber::kOverflow);
    EXPECT_STREQ(error.what(), "Run-time error '6': Overflow");
  }
}

}  // namespace
}  // namespace host
