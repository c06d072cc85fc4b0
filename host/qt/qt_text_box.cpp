#include "host/qt/qt_text_box.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextDocument>
#include <new>

#include "host/twips.h"

namespace host::qt {
namespace {

constexpr char16_t kParagraphSeparator = u'\u2029';
const QString kLineBreak = QStringLiteral("\r\n");

Qt::ScrollBarPolicy Policy(ScrollBars bars, ScrollBars axis) {
  const bool on = bars == ScrollBars::kBoth || bars == axis;
  return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
}

}  // namespace

QtTextBox::QtTextBox(const ControlDesign& design, QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QString::fromUtf8(design.name.data(), static_cast<qsizetype>(design.name.size())));
  setLineWrapMode(design.scroll_bars == ScrollBars::kHorizontal ||
                          design.scroll_bars == ScrollBars::kBoth
                      ? QPlainTextEdit::NoWrap
                      : QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Policy(design.scroll_bars, ScrollBars::kHorizontal));
  setVerticalScrollBarPolicy(Policy(design.scroll_bars, ScrollBars::kVertical));
  setTabChangesFocus(true);
  setFocusPolicy(Qt::StrongFocus);
}

Status QtTextBox::GetText(String& text) {
  try {
    // The raw text keeps U+00A0, which the plain-text reading turns into a space.
    QString raw = document()->toRawText();
    raw.replace(QChar(kParagraphSeparator), kLineBreak);
    text.assign(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

Status QtTextBox::PutText(StringView text) {
  try {
    QString value = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    value.replace(kLineBreak, QStringLiteral("\n"));
    setPlainText(value);
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

// Qt's own copy goes through the plain-text export, which turns U+00A0 into
// a space; a copy must give the user exactly the characters in the box.
QMimeData* QtTextBox::createMimeDataFromSelection() const {
  QString text = textCursor().selectedText();
  text.replace(QChar(kParagraphSeparator), QChar(u'\n'));
  auto* data = new QMimeData;
  data->setText(text);
  return data;
}

int QtTextBox::Dpi(bool horizontal) const { return horizontal ? logicalDpiX() : logicalDpiY(); }

Status QtTextBox::PutLeft(float twips) {
  move(TwipsToPixels(twips, Dpi(true)), y());
  return kOk;
}

Status QtTextBox::PutTop(float twips) {
  move(x(), TwipsToPixels(twips, Dpi(false)));
  return kOk;
}

Status QtTextBox::PutWidth(float twips) {
  resize(TwipsToPixels(twips, Dpi(true), true), height());
  return kOk;
}

Status QtTextBox::PutHeight(float twips) {
  resize(width(), TwipsToPixels(twips, Dpi(false), true));
  return kOk;
}

}  // namespace host::qt
