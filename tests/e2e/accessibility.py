"""Reads the real program as a screen reader does, over AT-SPI: finds each
text box by its label's name, reads it by character, word, line and
sentence, and hears typing, a paste and Convert, also with 100 MB in Inputs.
No answer is awaited for more than a second; events, with generous caps."""

import argparse
import sys
from pathlib import Path

import pyatspi
from gi.repository import Atspi, GLib

from cases import _large, readable
from desktop import Desktop, DesktopError, poll
from drive import CAPTION, COMMAND1, INPUTS, START_TIMEOUT, TWIPS_PER_INCH, Program
from results import Results

LABEL1, LABEL2 = "JSON string - paste in", "JSON converted to readable"
TYPED = '{"a": "One two. Three"}'
PASTED = '{"b": [2, 3]}'
B = pyatspi  # boundaries: B.TEXT_BOUNDARY_...


def edits(heard):
    """The insertions and deletions of what was heard."""
    return [e for e in heard if e[0] in ("insert", "delete")]


def read(box, offset, boundary):
    return tuple(box.queryText().getTextAtOffset(offset, boundary))


class Run:
    def __init__(self, options):
        self.results = Results()
        self.desktop = Desktop(options.work)
        self.px = lambda twips: round(twips * options.dpi / TWIPS_PER_INCH)
        self.program = Program(options.program, Path(options.artifacts) / "program-accessibility.log",
                               {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        self.heard = []  # (insert, delete, caret or selection, box name, offset, length, text)
        kinds = {"object:text-caret-moved": "caret", "object:text-selection-changed": "selection"}
        pyatspi.Registry.registerEventListener(
            lambda e: self.heard.append((kinds.get(e.type, e.type.split(":")[-1]), e.source.name,
                                         e.detail1, e.detail2, str(e.any_data))),
            "object:text-changed:insert", "object:text-changed:delete", "object:text-caret-moved",
            "object:text-selection-changed")

    def wait(self, found, timeout):
        def check():
            while GLib.MainContext.default().iteration(False):
                pass
            return found(self.heard)
        return poll(check, timeout, interval=0.05)

    def take(self, box, until, timeout=20):
        """The events of `box` once `until` holds of them."""
        self.wait(lambda heard: until([e for e in heard if e[1] == box]), timeout)
        heard, self.heard = self.heard, []
        return [e for e in heard if e[1] == box]

    def click(self, rect):
        self.desktop.click(self.window, self.px(rect[0] + rect[2] / 2), self.px(rect[1] + rect[3] / 2))

    def check(self, name, passed, seen):
        self.results.report(name, bool(passed), seen)

    def main(self):
        Atspi.set_timeout(1000, 1000)
        self.program.start()
        try:
            self.window = self.desktop.find_window(CAPTION, START_TIMEOUT)
            app = self.wait(lambda _: next((a for a in pyatspi.Registry.getDesktop(0)
                                            if a and a.name.lower() == "quillfen"), None), START_TIMEOUT)
            boxes = [app and pyatspi.findAllDescendants(app, lambda a: a.getRole() == B.ROLE_TEXT and a.name == name)
                     for name in (LABEL1, LABEL2)]
            self.check("each box is found by its label's name", [len(b or []) for b in boxes] == [1, 1], f"{boxes}")
            if [len(b or []) for b in boxes] != [1, 1]:
                return self.results.finish()
            inputs, outputs = boxes[0][0], boxes[1][0]
            for box, label in ((inputs, LABEL1), (outputs, LABEL2)):
                by = [r.getTarget(0).name for r in box.getRelationSet()
                      if r.getRelationType() == B.RELATION_LABELLED_BY]
                self.check(f"{label!r} is labelled by its label", by == [label], f"labelled by {by}")
            self.check_typing(inputs)
            self.check_selecting(inputs)
            self.check_convert(outputs, TYPED, ["insert"])
            self.check_paste(PASTED, len(TYPED))
            self.check_convert(outputs, PASTED, ["delete", "insert"])
            self.check_large(inputs)
            self.check_editing(inputs)
        except (DesktopError, GLib.Error) as error:
            self.check("the run goes on without error", False, str(error))
        finally:
            self.program.stop()
            self.desktop.close()
        return self.results.finish()

    def check_typing(self, inputs):
        self.click(INPUTS)
        self.desktop.type(TYPED)
        heard = self.take(LABEL1, lambda h: "".join(e[4] for e in h if e[0] == "insert") == TYPED)
        typed = "".join(e[4] for e in heard if e[0] == "insert")
        carets = [e[2] for e in heard if e[0] == "caret"]
        self.check("typing is heard key by key, the caret behind it", typed == TYPED and carets[-1:] == [len(TYPED)],
                   f"inserted {typed!r}, caret moves {carets}")
        one, three = TYPED.index("One"), TYPED.index("Three")
        for unit, got, expected in (
                ("character", read(inputs, 0, B.TEXT_BOUNDARY_CHAR), ("{", 0, 1)),
                ("word", read(inputs, one + 1, B.TEXT_BOUNDARY_WORD_START), ("One", one, one + 3)),
                ("sentence", read(inputs, three + 2, B.TEXT_BOUNDARY_SENTENCE_START), ('Three"}', three, len(TYPED))),
                ("line", read(inputs, 5, B.TEXT_BOUNDARY_LINE_START), (TYPED, 0, len(TYPED)))):
            self.check(f"Inputs is read by {unit}", got == expected, f"read {got}, expected {expected}")

    def check_selecting(self, inputs):
        self.desktop.keys("shift+Home")
        heard = self.take(LABEL1, lambda h: any(e[0] == "selection" for e in h))
        text = inputs.queryText()
        got = text.getSelection(0) if text.getNSelections() == 1 else None
        self.check("a selection by Shift+Home is heard and read back", any(e[0] == "selection" for e in heard) and
                   got == (0, len(TYPED)), f"heard {[e[0] for e in heard]}, selection {got}")
        self.desktop.keys("End")
        self.take(LABEL1, lambda h: any(e[0] == "caret" for e in h))

    def check_convert(self, outputs, text, kinds):
        self.click(COMMAND1)
        heard = self.take(LABEL2, lambda h: any(e[0] == "insert" for e in h))
        inserted = next((e[4] for e in heard if e[0] == "insert"), "")
        self.check(f"Convert of {text!r} is heard as one edit", [e[0] for e in edits(heard)] == kinds
                   and inserted == readable(text), f"heard {heard}")
        first, second = readable(text).split("\r\n")[:2]
        got = read(outputs, len(first) + 3, B.TEXT_BOUNDARY_LINE_START)
        self.check("Outputs is read by line", got[0].rstrip("\r\n") == second and got[1] == len(first) + 2,
                   f"read {got}, expected {second!r}")

    def check_paste(self, text, replaced):
        self.desktop.clipboard.offer(text)
        self.click(INPUTS)
        self.desktop.keys("ctrl+a", "ctrl+v")
        heard = self.take(LABEL1, lambda h: any(e[0] == "caret" and e[2] == len(text) for e in h), 120)
        edited = [e[:4] for e in edits(heard)]
        inserted = next((e[4] for e in heard if e[0] == "insert"), "")
        self.check(f"a paste of {len(text)} characters is heard as one edit, the caret behind it",
                   edited == [("delete", LABEL1, 0, replaced), ("insert", LABEL1, 0, len(inserted))]
                   and inserted and text.startswith(inserted), f"heard {[e[:4] for e in heard]}")

    def check_large(self, inputs):
        large = _large(100_000_000)
        self.check_paste(large, len(PASTED))
        middle = len(large) // 2
        char, word, sentence, line = (read(inputs, middle, boundary) for boundary in (
            B.TEXT_BOUNDARY_CHAR, B.TEXT_BOUNDARY_WORD_START, B.TEXT_BOUNDARY_SENTENCE_START, B.TEXT_BOUNDARY_LINE_START))
        start = inputs.queryText().getText(0, -1)
        self.check("100 MB in Inputs is read, each answer within a second",
                   inputs.queryText().characterCount == len(large) and char == (large[middle], middle, middle + 1)
                   and word[0] == large[word[1]:word[2]] and word[1] <= middle and sentence[1] <= middle < sentence[2]
                   and line[1:] == (0, len(large)) and 0 < len(start) < len(large) and large.startswith(start),
                   f"at {middle}: {char}, word {word[1:]}, sentence {sentence[1:]}, line {line[1:]}; text {len(start)}")

    def check_editing(self, inputs):
        size = inputs.queryText().characterCount
        inputs.queryEditableText().deleteText(0, size)
        inputs.queryEditableText().insertText(0, TYPED, len(TYPED))
        heard = [e[:4] for e in edits(self.take(LABEL1, lambda h: any(e[0] == "insert" for e in h)))]
        # Deleting 100 MB is told without carrying them all.
        self.check("a reader's edits are made and heard", inputs.queryText().getText(0, -1) == TYPED
                   and [e[0] for e in heard] == ["delete", "insert"] and 0 < heard[0][3] < size
                   and heard[1][2:] == (0, len(TYPED)), f"heard {heard}")


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("--program", "--artifacts", "--work"):
        parser.add_argument(option, required=True)
    parser.add_argument("--dpi", type=int, required=True, help="the X server's resolution")
    return parser.parse_args(argv)


if __name__ == "__main__":
    sys.exit(Run(parse_options(sys.argv[1:])).main())
