#pragma once
#include <cstddef>
#include <optional>

#include "host/runtime/string.h"

namespace host {

/// How the platform's own text box behaves where platforms differ; each
/// backend keeps one of these as a constexpr record.
struct TextBoxConventions {
  /// Pasted LF not after a CR becomes CR LF, the box's line break; else
  /// the text is inserted exactly as the clipboard holds it.
  bool paste_makes_crlf = true;
  /// Copied CR LF becomes LF, as the platform's other programs expect.
  bool copy_makes_lf = true;
  /// Clicks in a series before it starts again: 3 where a triple click
  /// selects the line, 2 where only words are selected.
  int click_series = 3;
  /// A double click takes the blanks after a word with it.
  bool word_takes_trailing_blanks = false;
  /// The context menu offers Redo.
  bool menu_has_redo = true;
  /// Text stands at whole pixels only, as the surface draws it.
  bool whole_pixels = false;
};

/// Where a text goes to or comes from outside the box.
enum class Clipboard {
  kClipboard,  // what Cut, Copy and Paste use
  kPrimary,    // the X11 selection: what is selected, pasted by the middle button
};

/// What the text engine asks of the window system a text box is shown in.
/// Nothing here decides: the engine does, the surface carries it out.
class TextBoxSurface {
 public:
  virtual ~TextBoxSurface() = default;
  /// Lines that fit in the view: how far Page Up and Page Down go.
  virtual std::size_t PageLines() const = 0;
  /// Scrolls by whole lines, down if positive, and columns of `pixels`.
  virtual void ScrollBy(std::ptrdiff_t lines, double pixels) = 0;
  /// How far one notch of the wheel scrolls: lines down, pixels across.
  virtual std::size_t WheelLines() const = 0;
  virtual double WheelPixels() const = 0;
  /// False if the clipboard could not take the text (a Cut then keeps it).
  virtual bool WriteClipboard(StringView text) = 0;
  /// The clipboard's text; nothing if it has none or gives none in time,
  /// or if the surface is to hand it over later through
  /// TextEditor::PasteText.
  virtual std::optional<String> ReadClipboard(Clipboard which) = 0;
  /// Tells the user a paste was refused: `units` of text (0 where not
  /// known) did not fit in memory; the text stays as it was.
  virtual void PasteRefused(std::size_t units) = 0;
  /// Whether the window system has a primary selection.
  virtual bool HasPrimary() const { return false; }
  /// Offers the box's selection as the primary selection, to be read from
  /// the box when another program asks.
  virtual void OfferPrimary() {}
};

}  // namespace host
