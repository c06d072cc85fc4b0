#pragma once
#include <QApplication>
#include <QTranslator>
#include <memory>
#include <vector>

#include "host/objects/backend.h"

namespace host::qt {

class QtWindow;

class QtBackend final : public Backend {
 public:
  QtBackend();
  ~QtBackend() override;

  NativeWindow& CreateWindow(const WindowDesign& design, EventSink& events) override;
  int Run() override;
  void Quit(int status) override;
  void ReportError(std::string_view title, const RuntimeError& error) override;

 private:
  // QApplication keeps references to these for its whole life.
  int argc_ = 1;
  char program_name_[9] = "quillfen";
  char* argv_[2] = {program_name_, nullptr};
  std::unique_ptr<QApplication> application_;
  QTranslator toolkit_texts_;  // the toolkit's own texts in the user's language
  std::vector<std::unique_ptr<QtWindow>> windows_;
};

}  // namespace host::qt
