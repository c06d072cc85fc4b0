#include "host/qt/qt_application_identity.h"

#include <QApplication>
#include <QIcon>
#include <QSize>
#include <array>

#include "quillfen/version_info.h"

namespace host::qt {
namespace {

struct IconImage {
  const char* path;
  int size;
};

// Window managers and task switchers pick the size they show.
constexpr std::array kIconImages{
    IconImage{":/quillfen/icons/16x16/quillfen.png", 16},
    IconImage{":/quillfen/icons/32x32/quillfen.png", 32},
    IconImage{":/quillfen/icons/48x48/quillfen.png", 48},
    IconImage{":/quillfen/icons/64x64/quillfen.png", 64},
    IconImage{":/quillfen/icons/128x128/quillfen.png", 128},
    IconImage{":/quillfen/icons/256x256/quillfen.png", 256},
};

}  // namespace

void SetApplicationIdentity() {
  QCoreApplication::setApplicationName(QString::fromUtf8(quillfen::version::kProductName));
  QCoreApplication::setApplicationVersion(QString::fromUtf8(quillfen::version::kProductVersion));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(quillfen::version::kAppId));
  QIcon icon;
  for (const IconImage& image : kIconImages) {
    icon.addFile(QString::fromUtf8(image.path), QSize(image.size, image.size));
  }
  QApplication::setWindowIcon(icon);
}

}  // namespace host::qt
