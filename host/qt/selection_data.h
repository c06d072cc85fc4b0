#pragma once
#include <QMimeData>
#include <QPointer>

namespace host::qt {

class TextView;

/// A text box's selection as the primary selection: its text is made only
/// when another program asks for it, so that selecting much text by
/// dragging costs nothing while the mouse moves.
class SelectionData final : public QMimeData {
 public:
  explicit SelectionData(TextView* view) : view_(view) {}

  QStringList formats() const override;
  bool hasFormat(const QString& type) const override;

 protected:
  QVariant retrieveData(const QString& type, QMetaType wanted) const override;

 private:
  QPointer<TextView> view_;
};

}  // namespace host::qt
