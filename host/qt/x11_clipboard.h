#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace host::qt {

/// What reading an X selection gave.
struct X11Reading {
  enum class Outcome {
    kNotX11,    // the window system is not X11: ask the toolkit
    kText,      // `bytes` holds the text as UTF-8
    kNoText,    // no program owns the selection, or it offers no text
    kNoAnswer,  // its owner did not answer in time
  };
  Outcome outcome = Outcome::kNotX11;
  std::string bytes;
};

/// The text another program offers on the X selection `selection`
/// ("CLIPBOARD" or "PRIMARY"), as UTF8_STRING, else as Latin-1 STRING made
/// UTF-8, read over a connection of this function's own: the toolkit's
/// reading drops a leading U+FEFF and a trailing NUL, and waits for an
/// owner that does not answer for many seconds. Here the owner has about a
/// second to answer each request, and a long text given in parts the same
/// for each next part, so the window is never held longer than that.
X11Reading ReadX11Selection(std::string_view selection);

/// Whether some program owns the X selection, without asking it anything.
std::optional<bool> X11SelectionOwned(std::string_view selection);

}  // namespace host::qt
