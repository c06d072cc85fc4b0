#include "host/qt/qt_application_identity.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>

#include "host/qt/qt_backend.h"

namespace host::qt {
namespace {

TEST(QtApplicationIdentity, BackendNamesTheApplicationFromTheVersionRecord) {
  QtBackend backend;
  EXPECT_EQ(QCoreApplication::applicationName(), "Quillfen");
  EXPECT_EQ(QCoreApplication::applicationVersion(), "1.00");
  EXPECT_EQ(QGuiApplication::desktopFileName(), "quillfen");
}

// The compiled-in icon must be the packaged pictures, at both sizes.
TEST(QtApplicationIdentity, WindowIconHasThePackagedImagesAt16And32Pixels) {
  QtBackend backend;
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
  EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
  for (const int size : {16, 32}) {
    const QString file = QStringLiteral(QUILLFEN_ICONS_DIR "/%1x%1/quillfen.png").arg(size);
    const QImage packaged(file);
    ASSERT_FALSE(packaged.isNull()) << file.toStdString();
    const QImage shown = icon.pixmap(QSize(size, size)).toImage();
    EXPECT_EQ(shown.size(), QSize(size, size));
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), packaged.convertToFormat(QImage::Format_ARGB32))
        << size;
  }
}

}  // namespace
}  // namespace host::qt
