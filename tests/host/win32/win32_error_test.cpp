#include "host/win32/win32_error.h"

#include <gtest/gtest.h>

namespace host::win32 {
namespace {

TEST(Win32Error, NamesTheActionAndTheSystemsTextForTheCode) {
  const Win32Error error("open the file", ERROR_FILE_NOT_FOUND);
  const std::string message = SystemMessage(ERROR_FILE_NOT_FOUND);
  ASSERT_NE(message, "unknown error");
  EXPECT_NE(message.back(), '\n');
  EXPECT_EQ(error.Description(), "Could not open the file: " + message + " (error 2)");
  EXPECT_EQ(error.Number(), ErrorNumber::kAutomation);
  EXPECT_EQ(error.Code(), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST(Win32Error, OutOfMemoryCodesAreTheOutOfMemoryError) {
  EXPECT_EQ(Win32Error("grow", ERROR_NOT_ENOUGH_MEMORY).Number(), ErrorNumber::kOutOfMemory);
  EXPECT_EQ(Win32Error("grow", ERROR_OUTOFMEMORY).Number(), ErrorNumber::kOutOfMemory);
}

TEST(Win32Error, ACallThatSetNoCodeDoesNotClaimSuccess) {
  EXPECT_EQ(Win32Error("draw", ERROR_SUCCESS).Description(),
            "Could not draw: no reason given by the system");
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(LastErrorStatus(), kUnexpected);
}

TEST(Win32Error, CheckThrowsOnlyOnFailureWithTheLastError) {
  EXPECT_EQ(CheckWin32(7, "count"), 7);
  try {
    const auto failing = [] {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    };
    CheckWin32(failing(), "find the window");
    FAIL() << "no exception";
  } catch (const Win32Error& error) {
    EXPECT_EQ(error.Code(), DWORD{ERROR_INVALID_WINDOW_HANDLE});
  }
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(LastErrorStatus(), (Status{static_cast<std::int32_t>(0x80070005u)}));
}

}  // namespace
}  // namespace host::win32
