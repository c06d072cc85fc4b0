"""Reads the real program as a screen reader does, over AT-SPI: finds each
text box by the name its label gives it, reads it by character, word, line
and sentence, and hears what typing, a paste and a conversion tell it, also
with 100 MB in Inputs. No answer is awaited for more than a second; events
are awaited with generous caps."""

import argparse
import sys
from pathlib import Path

import pyatspi
from gi.repository import Atspi, GLib

from cases import _large, readable
from desktop import Desktop, DesktopError, poll
from drive import CAPTION, COMMAND1, INPUTS, START_TIMEOUT, TWIPS_PER_INCH, Program
from results import Results

ANSWER_MS = 1000
LABEL1 = "JSON string - paste in"
LABEL2 = "JSON converted to readable"
TYPED = '{"a": "One two. Three"}'
PASTED = '{"b": [2, 3]}'
LARGE_SIZE = 100_000_000
EVENTS = ("object:text-changed:insert", "object:text-changed:delete", "object:text-caret-moved")


class Listener:
    """The events heard, as (kind, box name, offset, length, text)."""

    def __init__(self):
        self.heard = []
        pyatspi.Registry.registerEventListener(self._hear, *EVENTS)

    def _hear(self, event):
        kind = event.type.split(":")[-1] if "text-changed" in event.type else "caret"
        self.heard.append((kind, event.source.name, event.detail1, event.detail2, str(event.any_data or "")))

    def take(self):
        heard, self.heard = self.heard, []
        return heard

    def wait(self, found, timeout):
        """Waits for `found(heard)` to hold of the events heard so far."""
        def check():
            while GLib.MainContext.default().iteration(False):
                pass
            return found(self.heard)
        return poll(check, timeout, interval=0.05)


def find_box(application, name):
    matches = pyatspi.findAllDescendants(application, lambda a: a.getRole() == pyatspi.ROLE_TEXT and a.name == name)
    return matches[0] if len(matches) == 1 else None


def read(box, offset, boundary):
    return tuple(box.queryText().getTextAtOffset(offset, boundary))


class Run:
    def __init__(self, options):
        self.results = Results()
        self.desktop = Desktop(options.work)
        self.dpi = options.dpi
        self.program = Program(options.program, Path(options.artifacts) / "program-accessibility.log",
                               {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        self.listener = Listener()
        self.window = None

    def check(self, name, passed, seen):
        self.results.report(name, bool(passed), seen)

    def click(self, rect):
        px = lambda twips: round(twips * self.dpi / TWIPS_PER_INCH)
        self.desktop.click(self.window, px(rect[0] + rect[2] / 2), px(rect[1] + rect[3] / 2))

    def edit_heard(self, box, text, timeout=10):
        """The edits heard on `box` once one inserting the start of `text` is."""
        def done(heard):
            return any(e[0] == "insert" and e[1] == box and text.startswith(e[4]) and e[4] for e in heard)
        self.listener.wait(done, timeout)
        return [e for e in self.listener.take() if e[1] == box]

    def main(self):
        Atspi.set_timeout(ANSWER_MS, ANSWER_MS)
        self.program.start()
        try:
            self.window = self.desktop.find_window(CAPTION, START_TIMEOUT)
            application = self.listener.wait(lambda _: next(
                (a for a in pyatspi.Registry.getDesktop(0) if a and a.name.lower() == "quillfen"), None), START_TIMEOUT)
            inputs = application and find_box(application, LABEL1)
            outputs = application and find_box(application, LABEL2)
            self.check("each box is found by its label's name", self.window and inputs and outputs,
                       f"window {self.window}, application {application}, Inputs {inputs}, Outputs {outputs}")
            if not (inputs and outputs):
                return self.results.finish()
            for box, label in ((inputs, LABEL1), (outputs, LABEL2)):
                targets = [t.name for r in box.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                           for t in (r.getTarget(i) for i in range(r.getNTargets()))]
                self.check(f"{label!r} is labelled by its label", targets == [label], f"labelled by {targets}")
            self.check_typing(inputs)
            self.check_convert(outputs, TYPED, ["insert"])
            self.check_paste(inputs, PASTED, len(TYPED))
            self.check_convert(outputs, PASTED, ["delete", "insert"])
            self.check_large(inputs)
        except (DesktopError, GLib.Error) as error:
            self.check("the run goes on without error", False, str(error))
        finally:
            self.program.stop()
            self.desktop.close()
        return self.results.finish()

    def check_typing(self, inputs):
        self.listener.take()
        self.click(INPUTS)
        self.desktop.type(TYPED)
        self.listener.wait(lambda heard: "".join(e[4] for e in heard if e[0] == "insert") == TYPED, 20)
        heard = [e for e in self.listener.take() if e[1] == LABEL1]
        typed = "".join(e[4] for e in heard if e[0] == "insert")
        carets = [e[2] for e in heard if e[0] == "caret"]
        self.check("typing is heard key by key with the caret behind it", typed == TYPED and carets[-1:] == [len(TYPED)],
                   f"inserted {typed!r}, caret moves {carets}")
        three = TYPED.index("Three")
        one = TYPED.index("One")
        readings = {
            "character": (read(inputs, 0, pyatspi.TEXT_BOUNDARY_CHAR), ("{", 0, 1)),
            "word": (read(inputs, one + 1, pyatspi.TEXT_BOUNDARY_WORD_START), ("One", one, one + 3)),
            "sentence": (read(inputs, three + 2, pyatspi.TEXT_BOUNDARY_SENTENCE_START), ("Three\"}", three, len(TYPED))),
            "line": (read(inputs, 5, pyatspi.TEXT_BOUNDARY_LINE_START), (TYPED, 0, len(TYPED))),
        }
        for unit, (got, expected) in readings.items():
            self.check(f"Inputs is read by {unit}", got == expected, f"read {got}, expected {expected}")

    def check_convert(self, outputs, text, kinds):
        self.listener.take()
        self.click(COMMAND1)
        heard = self.edit_heard(LABEL2, readable(text))
        edits = [e[0] for e in heard if e[0] != "caret"]
        self.check(f"Convert of {text!r} is heard as one edit of Outputs", edits == kinds, f"heard {heard}")
        lines = readable(text).split("\r\n")
        got = read(outputs, len(lines[0]) + 3, pyatspi.TEXT_BOUNDARY_LINE_START)
        self.check("Outputs is read by line", got[0].rstrip("\r\n") == lines[1] and got[1] == len(lines[0]) + 2,
                   f"read {got}, expected line {lines[1]!r}")

    def check_paste(self, inputs, text, replaced):
        self.listener.take()
        self.desktop.clipboard.offer(text)
        self.click(INPUTS)
        self.desktop.keys("ctrl+a", "ctrl+v")
        heard = self.edit_heard(LABEL1, text, timeout=120)
        edits = [(e[0], e[2], e[3]) for e in heard if e[0] != "caret"]
        shown = min(len(text), max((e[3] for e in heard if e[0] == "insert"), default=0))
        self.check(f"a paste of {len(text)} characters is heard as one edit", edits == [
            ("delete", 0, replaced), ("insert", 0, shown)] and shown > 0, f"heard {[e[:4] for e in heard]}")
        self.listener.wait(lambda heard: any(e[0] == "caret" and e[2] == len(text) for e in heard), 10)
        carets = [e[2] for e in self.listener.take() + heard if e[0] == "caret"]
        self.check("the caret is heard behind the paste", len(text) in carets, f"caret moves {carets}")

    def check_large(self, inputs):
        large = _large(LARGE_SIZE)
        self.check_paste(inputs, large, len(PASTED))
        text = inputs.queryText()
        middle = len(large) // 2
        word = read(inputs, middle, pyatspi.TEXT_BOUNDARY_WORD_START)
        char = read(inputs, middle, pyatspi.TEXT_BOUNDARY_CHAR)
        sentence = read(inputs, middle, pyatspi.TEXT_BOUNDARY_SENTENCE_START)
        line = read(inputs, middle, pyatspi.TEXT_BOUNDARY_LINE_START)
        start = text.getText(0, -1)
        self.check("100 MB in Inputs is read within a second an answer",
                   text.characterCount == len(large) and char == (large[middle], middle, middle + 1)
                   and word[0] == large[word[1]:word[2]] and word[1] <= middle
                   and sentence[1] <= middle < sentence[2] and line[1:] == (0, len(large))
                   and 0 < len(start) < len(large) and large.startswith(start),
                   f"{text.characterCount} characters; at {middle}: character {char}, word {word[0][:40]!r} "
                   f"{word[1:]}, sentence {sentence[1:]}, line {line[1:]}; whole text read as {len(start)}")


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--dpi", type=int, required=True, help="the X server's resolution")
    parser.add_argument("--artifacts", required=True, help="folder for the program's log")
    parser.add_argument("--work", required=True, help="this run's temporary folder")
    return parser.parse_args(argv)


if __name__ == "__main__":
    sys.exit(Run(parse_options(sys.argv[1:])).main())
