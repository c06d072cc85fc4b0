#include "host/qt/qt_backend.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QTimer>

#include "host/runtime/text_storage.h"
#include "host/runtime/string.h"

namespace host::qt {
namespace {

TEST(QtBackend, KeptStringBlocksGoWhenTheEventLoopWaits) {
  QtBackend backend;
  (void)String(4 * kLargeTextBytes, u'a');
  ASSERT_GT(CachedTextBytes(), 0u);
  // Pending work first: the cache stays while the loop has events to handle.
  bool handled = false;
  QTimer::singleShot(0, [&] { handled = true; });
  QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents);
  EXPECT_TRUE(handled);
  EXPECT_GT(CachedTextBytes(), 0u);
  // Then nothing to do: the loop waits, for the timer, and the cache goes.
  bool fired = false;
  QTimer::singleShot(1, [&] { fired = true; });
  while (!fired) QAbstractEventDispatcher::instance()->processEvents(QEventLoop::WaitForMoreEvents);
  EXPECT_EQ(CachedTextBytes(), 0u);
}

}  // namespace
}  // namespace host::qt
