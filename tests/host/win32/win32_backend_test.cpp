#include "host/win32/win32_backend.h"

#include <gtest/gtest.h>

#include "host/runtime/string.h"
#include "host/runtime/text_storage.h"

namespace host::win32 {
namespace {

void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

TEST(Win32Backend, KeptStringBlocksGoWhenTheMessageLoopWaits) {
  Win32Backend backend;
  (void)String(4 * kLargeTextBytes, u'a');
  ASSERT_GT(CachedTextBytes(), 0u);
  // The queue is empty, so the loop waits for the timer, which ends it.
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, &EndLoop);
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(backend.Run(), 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(CachedTextBytes(), 0u);
}

}  // namespace
}  // namespace host::win32
