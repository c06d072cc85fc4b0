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
  EXPECT_EQ(QGuiApplication::desktopFileName(), "io.github.quillfen.quillfen");
}

// The compiled-in icon must be the packaged pictures, at every size.
TEST(QtApplicationIdentity, WindowIconHasThePackagedImagesAtEverySize) {
  QtBackend backend;
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    const QString file = QStringLiteral(QUILLFEN_ICONS_DIR "/%1x%1/quillfen.png").arg(size);
    const QImage packaged(file);
    ASSERT_FALSE(packaged.isNull()) << file.toStdString();
    const QImage shown = icon.pixmap(QSize(size, size)).toImage();
    EXPECT_EQ(shown.size(), QSize(size, size));
    // Compared as a pixmap holds them: colours multiplied by their alpha,
    // which the edges of the larger, smooth pictures have between 0 and 255.
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              packaged.convertToFormat(QImage::Format_ARGB32_Premultiplied))
        << size;
  }
}

}  // namespace
}  // namespace host::qt
