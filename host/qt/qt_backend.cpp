#include "host/qt/qt_backend.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

#include "host/qt/qt_application_identity.h"
#include "host/qt/qt_window.h"
#include "host/runtime/runtime_error.h"

namespace host {

std::unique_ptr<Backend> CreateBackend() { return std::make_unique<qt::QtBackend>(); }

namespace qt {

QtBackend::QtBackend() : application_(std::make_unique<QApplication>(argc_, argv_)) {
  // Handlers end the program on failure; nothing else should.
  QApplication::setQuitOnLastWindowClosed(true);
  SetApplicationIdentity();
  if (toolkit_texts_.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&toolkit_texts_);
  }
}

QtBackend::~QtBackend() {
  windows_.clear();
  application_.reset();
}

NativeWindow& QtBackend::CreateWindow(const WindowDesign& design, EventSink& events) {
  windows_.push_back(std::make_unique<QtWindow>(design, events));
  return *windows_.back();
}

int QtBackend::Run() { return QApplication::exec(); }

void QtBackend::Quit(int status) { QApplication::exit(status); }

void QtBackend::ReportError(std::string_view title, const RuntimeError& error) {
  QMessageBox::critical(nullptr, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                        QString::fromUtf8(error.what()));
}

}  // namespace qt
}  // namespace host
