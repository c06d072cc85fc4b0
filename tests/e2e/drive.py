"""Drives the real program on this run's X display as a person would: by
its window caption, mouse clicks at the controls' design positions, the
keyboard and the clipboard; checks what the clipboard and the screen show.
Prints one line per check and ends with "N passed, M failed"."""

import argparse
import shutil
import subprocess
import sys
import time
from pathlib import Path

from cases import CONVERSIONS, KEYBOARD_INPUT, readable
from conventions import check_conventions
from desktop import Desktop, DesktopError, poll, program_environment
from layout import Layout
from results import Results

CAPTION = "JSON to readable text converter"
TWIPS_PER_INCH = 1440

# Design positions and sizes, twips: left, top, width, height.
CLIENT = (6615, 10890)
INPUTS = (960, 360, 5535, 615)
COMMAND1 = (120, 360, 735, 375)
OUTPUTS = (960, 1320, 5525, 9375)

# Put on the clipboard before a copy, so that a copy that did not happen
# shows as such.
SENTINEL = "quillfen-e2e: nothing was copied"
# Typed into a box that should be empty: a copy of it then shows the marker
# alone, since a select-all of an empty box copies nothing.
MARKER = "Q"

START_TIMEOUT = 20
# What --convert-one converts: a text that every replacement but the
# removals touches.
ONE_CONVERSION = "nested object"


class Program:
    """The program under test, started and ended by its own process id."""

    def __init__(self, path, log_path, environment=None):
        self.path = path
        self._path = path
        self._log_path = log_path
        self._environment = environment or {}
        self._process = None

    def start(self):
        with open(self._log_path, "ab") as log:
            self._process = subprocess.Popen([self._path], env={**program_environment(), **self._environment},
                                             stdout=log, stderr=subprocess.STDOUT)

    def running(self):
        return self._process is not None and self._process.poll() is None

    def exit_status(self):
        return None if self._process is None else self._process.poll()

    def stop(self):
        if not self.running():
            return
        self._process.terminate()
        try:
            self._process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait(timeout=5)


class Session:
    def __init__(self, options):
        self.dpi = options.dpi
        self.artifacts = Path(options.artifacts)
        self.screenshot_copy = options.screenshot
        self.label = options.label
        self.layout_only = options.layout_only
        self.convert_one = options.convert_one
        self.desktop = Desktop(options.work)
        self.program = Program(options.program, self.artifacts / f"program-{options.label}.log")
        self.results = Results()
        self.window = None
        self.pictures = 0

    # Positions.

    def px(self, twips):
        return round(twips * self.dpi / TWIPS_PER_INCH)

    def point(self, rect, dx, dy):
        """A point of a control, `dx`, `dy` twips from its top-left corner."""
        return self.px(rect[0] + dx), self.px(rect[1] + dy)

    def inputs_point(self):
        return self.point(INPUTS, 300, 180)

    def outputs_point(self):
        return self.point(OUTPUTS, 300, 600)

    def command1_point(self):
        return self.point(COMMAND1, COMMAND1[2] / 2, COMMAND1[3] / 2)

    # What a person does.

    def click(self, position, count=1):
        self.desktop.click(self.window, *position, count=count)

    def put_into_inputs(self, text):
        if text:
            self.desktop.clipboard.offer(text)
        self.click(self.inputs_point())
        self.desktop.keys("ctrl+a", "ctrl+v" if text else "Delete")

    def copy_from(self, position, length, timeout):
        """Selects all of the box at `position`, copies it and returns the
        clipboard once it holds at least `length` characters."""
        self.desktop.clipboard.offer(SENTINEL)
        self.click(position)
        self.desktop.keys("ctrl+a", "ctrl+c")
        return self.wait_for_copy(length, timeout)

    def wait_for_copy(self, length, timeout):
        def copied():
            text = self.desktop.clipboard.read()
            return text if text is not None and text != SENTINEL and len(text) >= length else None
        return poll(copied, timeout, interval=0.2) or self.desktop.clipboard.read()

    # Reporting.

    def save_picture(self, name):
        self.pictures += 1
        slug = "".join(c if c.isalnum() else "-" for c in name.lower()).strip("-")
        path = self.artifacts / f"{self.label}-{self.pictures:02d}-{slug}.png"
        try:
            self.desktop.save_screenshot(path)
        except DesktopError as error:
            return f"(no screenshot: {error})"
        return str(path)

    def run(self, name, body, xfail=None):
        """Runs one check; `body` returns (passed, what was seen)."""
        if self.window is None:
            self.results.skip(name, "the window never appeared")
            return
        if not self.program.running():
            self.restart()
            if self.window is None:
                self.results.skip(name, "the program could not be started again")
                return
        note = ""
        try:
            outcome = body()
            passed, seen = outcome[0], outcome[1]
            if len(outcome) > 2:
                note = outcome[2]
        except DesktopError as error:
            passed, seen = False, str(error)
        if not passed:
            seen += f"\n    screenshot: {self.save_picture(name)}"
            if not self.program.running():
                seen += f"\n    the program has ended with status {self.program.exit_status()}"
        self.results.report(name, passed, seen, xfail, note)

    def restart(self):
        self.program.stop()
        self.program.start()
        self.window = self.desktop.find_window(CAPTION, START_TIMEOUT)

    # The checks.

    def check_window(self):
        self.program.start()
        self.window = self.desktop.find_window(CAPTION, START_TIMEOUT)
        if self.window is None:
            status = self.program.exit_status()
            ended = f"; the program ended with status {status}" if status is not None else ""
            self.results.report("window appears with its caption", False,
                                f"no visible window captioned {CAPTION!r} within {START_TIMEOUT} s{ended}"
                                f"\n    screenshot: {self.save_picture('no window')}")
            return
        self.results.report("window appears with its caption", True, "")

        def client_size():
            wanted = (self.px(CLIENT[0]), self.px(CLIENT[1]))
            size = self.desktop.client_size(self.window)
            return size == wanted, f"client area {size[0]}x{size[1]} px, expected {wanted[0]}x{wanted[1]} " \
                                   f"({CLIENT[0]}x{CLIENT[1]} twips at {self.dpi} dpi)"
        self.run("client area has the design size", client_size)

    def check_keyboard(self):
        # Right after opening, before any click: the focus is in Inputs.
        typed = KEYBOARD_INPUT
        expected = readable(typed).replace("\r\n", "\n")

        def tab_order():
            self.desktop.type(typed)
            self.desktop.keys("Tab", "space", "Tab")
            self.desktop.type(MARKER)
            self.desktop.clipboard.offer(SENTINEL)
            self.desktop.keys("ctrl+a", "ctrl+c")
            got = self.wait_for_copy(len(expected) + 1, 5)
            passed = got is not None and got.count(MARKER) == 1 and got.replace(MARKER, "") == expected
            return passed, f"typed {typed!r}, Tab, Space, Tab, {MARKER!r}; the box with the focus holds " \
                           f"{got!r}, expected {expected!r} with one {MARKER!r} in it"
        self.run("typing goes to Inputs; Tab reaches Convert, Space presses it, Tab reaches Outputs",
                 tab_order)

        def inputs_kept():
            got = self.copy_from(self.inputs_point(), len(typed), 5)
            return got == typed, f"Inputs holds {got!r}, expected {typed!r}"
        self.run("Inputs keeps its text after Convert", inputs_kept)

        def enter_breaks_line():
            before = self.copy_from(self.outputs_point(), 1, 5)
            self.click(self.inputs_point())
            self.desktop.keys("ctrl+a")
            self.desktop.type("a")
            self.desktop.keys("Return")
            self.desktop.type("b")
            self.desktop.clipboard.offer(SENTINEL)
            self.desktop.keys("ctrl+a", "ctrl+c")
            got = self.wait_for_copy(3, 5)
            after = self.copy_from(self.outputs_point(), 1, 5)
            passed = got == "a\nb" and after == before
            return passed, f"Inputs holds {got!r}, expected 'a\\nb'; Outputs {before!r} before, {after!r} after"
        self.run("Enter in Inputs starts a new line and does not press Convert", enter_breaks_line)

        def enter_presses_convert():
            text = '{"e":[1,2]}'
            expected_outputs = readable(text).replace("\r\n", "\n")
            self.put_into_inputs(text)
            self.desktop.keys("Tab", "Return")
            return self.check_outputs_and_inputs(expected_outputs, text, "Tab, Return")
        self.run("Enter on the focused Convert presses it", enter_presses_convert)

    def check_outputs_and_inputs(self, expected_outputs, expected_inputs, keys):
        got = self.copy_from(self.outputs_point(), len(expected_outputs), 5)
        kept = self.copy_from(self.inputs_point(), len(expected_inputs), 5)
        passed = got == expected_outputs and kept == expected_inputs
        return passed, f"after {keys}: Outputs holds {got!r}, expected {expected_outputs!r}; " \
                       f"Inputs holds {kept!r}, expected {expected_inputs!r}"

    def check_conversions(self, cases=CONVERSIONS):
        for case in cases:
            expected = case.result().replace("\r\n", "\n")

            def convert(case=case, expected=expected):
                if expected == "":
                    # Something typed into Outputs must go when Convert empties it.
                    self.click(self.outputs_point())
                    self.desktop.type("leftover")
                self.put_into_inputs(case.text)
                self.click(self.command1_point())
                if expected == "":
                    self.click(self.outputs_point())
                    self.desktop.keys("ctrl+End")
                    self.desktop.type(MARKER)
                    got = self.copy_from(self.outputs_point(), len(MARKER), case.timeout)
                    return got == MARKER, describe(got, MARKER, f"Outputs should be empty; typed {MARKER!r} into it and")
                got = self.copy_from(self.outputs_point(), len(expected), case.timeout)
                if case.picture:
                    self.keep_picture()
                return got == expected, describe(got, expected, "")
            self.run(f"convert: {case.name}", convert, case.xfail)

    def keep_picture(self):
        """Keeps a picture of the window, frame included, as the user sees
        it after a conversion."""
        self.desktop.keys("ctrl+Home")
        time.sleep(0.5)
        path = self.artifacts / "window-after-convert.png"
        self.desktop.save_screenshot(path, self.window, frame=True)
        if self.screenshot_copy:
            shutil.copyfile(path, self.screenshot_copy)

    def check_close(self):
        def close():
            self.click(self.inputs_point())
            self.desktop.keys("alt+F4")
            ended = poll(lambda: not self.program.running(), 10)
            status = self.program.exit_status()
            return bool(ended) and status == 0, \
                "the program is still running 10 s after Alt+F4" if not ended else f"exit status {status}"
        self.run("closing the window ends the program", close)

    def main(self):
        try:
            self.check_window()
            if self.convert_one:
                self.check_conversions([case for case in CONVERSIONS if case.name == ONE_CONVERSION])
                self.check_close()
                return self.results.finish()
            layout = Layout(self)
            layout.check_first_showing()
            if not self.layout_only:
                self.check_keyboard()
                self.check_conversions()
                check_conventions(self)
            layout.check_resizing()
            self.check_close()
            print(f"largest edge error of the passing layout checks: {layout.worst} px")
        finally:
            self.program.stop()
            self.desktop.close()
        return self.results.finish()


def describe(got, expected, prefix):
    """What the clipboard held against what it should, readable in a log."""
    lead = f"{prefix} " if prefix else ""
    if got is None:
        return f"{lead}the clipboard holds no text"
    if got == SENTINEL:
        return f"{lead}nothing was copied (the clipboard still holds {SENTINEL!r})"
    if len(got) + len(expected) <= 400:
        return f"{lead}clipboard {got!r}\n    expected  {expected!r}"
    index = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b), min(len(got), len(expected)))
    start = max(0, index - 30)
    return (f"{lead}clipboard holds {len(got)} characters, expected {len(expected)}; first difference at {index}:"
            f"\n    clipboard {got[start:index + 30]!r}\n    expected  {expected[start:index + 30]!r}")


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--dpi", type=int, required=True, help="the X server's resolution")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots and logs")
    parser.add_argument("--work", required=True, help="this run's temporary folder")
    parser.add_argument("--screenshot", help="where to copy the picture taken after a conversion")
    parser.add_argument("--label", default="run", help="names this run's screenshots and log")
    parser.add_argument("--layout-only", action="store_true",
                        help="check only the window's layout, not typing and conversions")
    parser.add_argument("--convert-one", action="store_true",
                        help="only start the program, convert one text and close the window")
    return parser.parse_args(argv)


if __name__ == "__main__":
    sys.exit(Session(parse_options(sys.argv[1:])).main())
