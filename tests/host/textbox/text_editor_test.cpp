#include "host/textbox/text_editor.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

namespace host {
namespace {

// A window system that records what the engine asks of it.
class FakeSurface : public TextBoxSurface {
 public:
  std::size_t PageLines() const override { return 10; }
  void ScrollBy(std::ptrdiff_t lines, double pixels) override {
    scrolled_lines += lines;
    scrolled_pixels += pixels;
  }
  std::size_t WheelLines() const override { return 3; }
  double WheelPixels() const override { return 24; }
  bool WriteClipboard(StringView text) override {
    if (!clipboard_works) return false;
    clipboard = String(text);
    return true;
  }
  std::optional<String> ReadClipboard(Clipboard which) override {
    return which == Clipboard::kPrimary ? primary : clipboard;
  }
  bool HasPrimary() const override { return has_primary; }
  void PasteRefused(std::size_t units) override { refused = units; }
  void OfferPrimary() override { ++offers; }

  std::optional<String> clipboard;
  std::optional<String> primary;
  bool has_primary = true;
  int offers = 0;
  std::optional<std::size_t> refused;
  bool clipboard_works = true;
  std::ptrdiff_t scrolled_lines = 0;
  double scrolled_pixels = 0;
};

constexpr TextBoxConventions kLinux{};
constexpr TextBoxConventions kWindows{.paste_makes_crlf = false,
                                      .copy_makes_lf = false,
                                      .click_series = 2,
                                      .word_takes_trailing_blanks = true,
                                      .menu_has_redo = false};

struct Editor {
  explicit Editor(const TextBoxConventions& conventions, StringView text = u"") : editor(document, surface, conventions) {
    document.ReplaceAll(text);
  }
  TextDocument document;
  FakeSurface surface;
  TextEditor editor;
};

TEST(TextEditor, KeysMeanWhatTheyMeanInEveryStockTextBox) {
  struct Case {
    Key key;
    KeyModifiers modifiers;
    Command command;
    bool extend;
  };
  constexpr KeyModifiers kNone{}, kShift{.shift = true}, kControl{.control = true};
  constexpr KeyModifiers kControlShift{.control = true, .shift = true};
  constexpr KeyModifiers kAltGr{.control = true, .alt = true};
  const Case cases[] = {
      {Key::kLeft, kShift, Command::kLeft, true},
      {Key::kRight, kControlShift, Command::kWordRight, true},
      {Key::kHome, kControl, Command::kTextStart, false},
      {Key::kEnd, kNone, Command::kLineEnd, false},
      {Key::kUp, kControl, Command::kNone, false},  // the window's, not the box's
      {Key::kPageDown, kShift, Command::kPageDown, true},
      {Key::kBackspace, kControl, Command::kDeleteWordBackward, false},
      {Key::kDelete, kShift, Command::kCut, false},
      {Key::kDelete, kControl, Command::kDeleteWordForward, false},
      {Key::kInsert, kControl, Command::kCopy, false},
      {Key::kInsert, kShift, Command::kPaste, false},
      {Key::kEnter, kShift, Command::kLineBreak, false},
      {Key::kZ, kControl, Command::kUndo, false},
      {Key::kZ, kControlShift, Command::kRedo, false},
      {Key::kY, kControl, Command::kRedo, false},
      {Key::kA, kControl, Command::kSelectAll, false},
      {Key::kV, kAltGr, Command::kNone, false},  // AltGr types
      {Key::kC, kNone, Command::kNone, false},
  };
  for (const Case& test : cases) {
    const KeyCommand got = CommandForKey(test.key, test.modifiers);
    EXPECT_EQ(got.command, test.command) << static_cast<int>(test.key);
    EXPECT_EQ(got.extend, test.extend) << static_cast<int>(test.key);
  }
  EXPECT_EQ(CommandForCharacter(u'\r', false), Command::kLineBreak);
  EXPECT_EQ(CommandForCharacter(0x7F, false), Command::kDeleteWordBackward);
  EXPECT_EQ(CommandForCharacter(u'a', false), Command::kNone);
}

TEST(TextEditor, ClicksInASeriesSelectCharactersWordsAndLines) {
  struct Click {
    std::size_t position;
    std::int64_t time_ms;
    int x;
    bool shift = false;
  };
  struct Case {
    const char* name;
    const TextBoxConventions& conventions;
    std::vector<Click> clicks;
    std::size_t anchor;
    std::size_t caret;
  };
  constexpr StringView kText = u"alpha beta  gamma\r\nnext";
  const Case cases[] = {
      {"one click places the caret", kLinux, {{7, 0, 70}}, 7, 7},
      {"two select the word", kLinux, {{7, 0, 70}, {7, 100, 71}}, 6, 10},
      {"three select the line and its break", kLinux, {{7, 0, 70}, {7, 100, 70}, {7, 200, 70}}, 0, 19},
      {"a fourth starts again", kLinux, {{7, 0, 70}, {7, 100, 70}, {7, 200, 70}, {7, 300, 70}}, 7, 7},
      {"too slow is a new series", kLinux, {{7, 0, 70}, {7, 1000, 70}}, 7, 7},
      {"too far is a new series", kLinux, {{7, 0, 70}, {8, 100, 90}}, 8, 8},
      {"the word takes its blanks", kWindows, {{7, 0, 70}, {7, 100, 70}}, 6, 12},
      {"no line on a third", kWindows, {{7, 0, 70}, {7, 100, 70}, {7, 200, 70}}, 7, 7},
      {"shift extends from the anchor", kLinux, {{2, 0, 20}, {14, 1000, 140, true}}, 2, 14},
  };
  for (const Case& test : cases) {
    Editor box(test.conventions, kText);
    for (const Click& click : test.clicks) {
      const PointerPress press{
          .position = click.position, .time_ms = click.time_ms, .x = click.x, .y = 5, .extend = click.shift};
      box.editor.Press(press, {});
      box.editor.Release();
    }
    EXPECT_EQ(box.document.Anchor(), test.anchor) << test.name;
    EXPECT_EQ(box.document.Caret(), test.caret) << test.name;
  }
  // A key between two clicks parts them, whatever the system counted.
  Editor box(kLinux, kText);
  box.editor.Press({.position = 7, .time_ms = 0}, {});
  box.editor.PressKey(Key::kEnd, {});
  box.editor.Press({.position = 7, .time_ms = 100, .clicks = 2}, {});
  EXPECT_EQ(box.document.Anchor(), box.document.Caret());
}

TEST(TextEditor, DraggingGrowsTheSelectionByWhatThePressSelected) {
  Editor box(kLinux, u"alpha beta gamma\r\nsecond line\r\nthird");
  box.editor.Press({.position = 7, .time_ms = 0}, {});
  box.editor.Press({.position = 7, .time_ms = 10}, {});
  box.editor.Drag(12);  // inside "gamma"
  EXPECT_EQ(box.document.Anchor(), 6u);
  EXPECT_EQ(box.document.Caret(), 16u);
  box.editor.Drag(2);  // back inside "alpha": the pressed word stays whole
  EXPECT_EQ(box.document.Anchor(), 10u);
  EXPECT_EQ(box.document.Caret(), 0u);
  box.editor.Release();
  box.editor.Drag(20);
  EXPECT_EQ(box.document.Caret(), 0u) << "the button is up";

  box.editor.Press({.position = 3, .time_ms = 1000}, {});
  box.editor.Press({.position = 3, .time_ms = 1010}, {});
  box.editor.Press({.position = 3, .time_ms = 1020}, {});
  box.editor.Drag(21);  // on the second line: both lines whole
  EXPECT_EQ(box.document.Anchor(), 0u);
  EXPECT_EQ(box.document.Caret(), 31u);
}

TEST(TextEditor, TheWheelScrollsByNotchesAndShiftTurnsItSideways) {
  Editor box(kLinux);
  box.editor.Wheel(0, -120, false);
  EXPECT_EQ(box.surface.scrolled_lines, 3);
  box.editor.Wheel(0, 60, false);
  EXPECT_EQ(box.surface.scrolled_lines, 3) << "half a notch waits for the rest";
  box.editor.Wheel(0, 60, false);
  EXPECT_EQ(box.surface.scrolled_lines, 0);
  box.editor.Wheel(0, -120, true);
  EXPECT_EQ(box.surface.scrolled_lines, 0);
  EXPECT_EQ(box.surface.scrolled_pixels, 24) << "Shift turned down into right";
}

TEST(TextEditor, TheClipboardCarriesLineBreaksByThePlatformsConvention) {
  for (const TextBoxConventions* conventions : {&kLinux, &kWindows}) {
    Editor box(*conventions, u"a\r\nb");
    box.editor.Run(Command::kSelectAll);
    box.editor.Run(Command::kCopy);
    EXPECT_EQ(*box.surface.clipboard, conventions->copy_makes_lf ? u"a\nb" : u"a\r\nb");
    box.surface.clipboard = String(u"x\ny\r");
    box.editor.Run(Command::kPaste);
    EXPECT_EQ(box.document.Text(), conventions->paste_makes_crlf ? u"x\r\ny\r" : u"x\ny\r");
  }
  Editor box(kLinux, u"keep");
  box.surface.clipboard_works = false;
  box.editor.Run(Command::kSelectAll);
  box.editor.Run(Command::kCut);
  EXPECT_EQ(box.document.Text(), u"keep") << "what could not be copied is not deleted";
}

TEST(TextEditor, ASelectionIsOfferedAsPrimaryAndTheMiddleButtonPastesIt) {
  Editor box(kLinux, u"alpha beta");
  box.editor.SelectionChanged();
  EXPECT_EQ(box.surface.offers, 0) << "nothing selected, nothing offered";
  box.document.SetSelection(0, 5);
  box.editor.SelectionChanged();
  EXPECT_EQ(box.surface.offers, 1);
  box.surface.primary = String(u"X\nY");
  box.editor.PastePrimaryAt(6);
  EXPECT_EQ(box.document.Text(), u"alpha X\r\nYbeta");
  box.surface.has_primary = false;  // Windows, or Wayland without the protocol
  box.editor.PastePrimaryAt(0);
  box.editor.SelectionChanged();
  EXPECT_EQ(box.document.Text(), u"alpha X\r\nYbeta");
  EXPECT_EQ(box.surface.offers, 1);
}

TEST(TextEditor, APasteThatDoesNotFitIsRefusedAndTheTextKept) {
  struct Exhausted final : FakeSurface {
    std::optional<String> ReadClipboard(Clipboard) override { throw std::bad_alloc(); }
  };
  TextDocument document;
  document.ReplaceAll(u"kept");
  Exhausted surface;
  TextEditor editor(document, surface, kLinux);
  editor.Run(Command::kPaste);
  EXPECT_EQ(document.Text(), u"kept");
  EXPECT_EQ(surface.refused, 0u);
}

TEST(TextEditor, TheContextMenuOffersWhatApplies) {
  Editor box(kWindows, u"ab");
  box.document.SetSelection(0, 1);
  std::vector<Command> commands;
  std::vector<bool> enabled;
  for (const MenuEntry& entry : box.editor.ContextMenu(false)) {
    commands.push_back(entry.command);
    enabled.push_back(entry.enabled);
  }
  using enum Command;
  EXPECT_EQ(commands, (std::vector{kUndo, kNone, kCut, kCopy, kPaste, kDeleteSelection, kNone, kSelectAll}));
  EXPECT_EQ(enabled, (std::vector{true, false, true, true, false, true, false, true}));
  EXPECT_EQ(Editor(kLinux).editor.ContextMenu(true)[1].command, kRedo);
}

}  // namespace
}  // namespace host
