#include "host/qt/qt_text_box.h"

#include <new>
#include <utility>

#include "host/objects/twips.h"

namespace host::qt {
namespace {

Qt::ScrollBarPolicy Policy(ScrollBars bars, ScrollBars axis) {
  const bool on = bars == ScrollBars::kBoth || bars == axis;
  return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
}

}  // namespace

QtTextBox::QtTextBox(const ControlDesign& design, QWidget* parent) : TextView(parent) {
  setObjectName(QString::fromUtf8(design.name.data(), static_cast<qsizetype>(design.name.size())));
  setHorizontalScrollBarPolicy(Policy(design.scroll_bars, ScrollBars::kHorizontal));
  setVerticalScrollBarPolicy(Policy(design.scroll_bars, ScrollBars::kVertical));
}

Status QtTextBox::GetText(String& text) {
  try {
    text = Text();
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

Status QtTextBox::PutText(String text) {
  try {
    Document().ResetText(std::move(text));
    return kOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
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
