"""What a person expects of a text box on an X11 desktop beyond the
conversion: the primary selection, clicks that select words and lines, a
paste that never freezes the window, and a window that finds its launcher."""

import configparser
import signal
import subprocess
import time
from pathlib import Path

from desktop import poll

# Put into Inputs for the selection checks: two lines, as pasted.
TWO_LINES = "alpha beta\ngamma"
# The longest a window may take to answer the window manager's ping while
# a paste waits on a silent clipboard owner.
PING_LIMIT = 1.5
SYSTEM_PYTHON = "/usr/bin/python3"  # the one that has python3-xlib


def read_primary():
    result = subprocess.run(["xclip", "-o", "-selection", "primary", "-t", "UTF8_STRING"],
                            capture_output=True, timeout=10)
    return result.stdout.decode("utf-8", errors="backslashreplace") if result.returncode == 0 else None


def check_conventions(session):
    desktop = session.desktop
    here = Path(__file__).resolve().parent
    # The start of Inputs' first line, and further along it, in client pixels.
    left = session.px(960) + 8
    first_row = session.px(360) + 10

    def typed_in_inputs():
        session.put_into_inputs(TWO_LINES)
        desktop.keys("ctrl+Home")

    def primary_after(action):
        typed_in_inputs()
        action()
        got = poll(lambda: read_primary() or None, 5)
        return got

    def by_keyboard():
        got = primary_after(lambda: desktop.keys(*["shift+Right"] * 5))
        return got == "alpha", f"PRIMARY holds {got!r} after Shift+Right five times, expected 'alpha'"
    session.run("a selection made by Shift+arrows is offered as PRIMARY", by_keyboard)

    def by_mouse():
        got = primary_after(lambda: desktop.drag(session.window, left - 4, first_row, left + 40, first_row))
        passed = got is not None and len(got) >= 2 and TWO_LINES.startswith(got)
        return passed, f"PRIMARY holds {got!r} after a drag over the start of {TWO_LINES!r}"
    session.run("a selection made by dragging is offered as PRIMARY", by_mouse)

    def by_double_click():
        got = primary_after(lambda: session.click((left + 10, first_row), count=2))
        return got == "alpha", f"PRIMARY holds {got!r} after a double click on 'alpha'"
    session.run("a double click selects the word and offers it as PRIMARY", by_double_click)

    def triple_click():
        typed_in_inputs()
        session.click((left + 10, first_row), count=3)
        desktop.clipboard.offer("-")
        desktop.keys("ctrl+c")
        got = session.wait_for_copy(2, 5)
        return got == "alpha beta\n", f"a triple click then Ctrl+C copies {got!r}, expected the whole line"
    session.run("a triple click selects the line", triple_click)

    def middle_click():
        session.click(session.outputs_point())
        desktop.keys("ctrl+a", "Delete")
        desktop.offer_primary("from primary")
        desktop.middle_click(session.window, *session.outputs_point())
        got = session.copy_from(session.outputs_point(), 12, 5)
        return got == "from primary", f"Outputs holds {got!r} after a middle click, expected 'from primary'"
    session.run("a middle click pastes PRIMARY", middle_click)

    def silent_owner():
        typed_in_inputs()
        owner = desktop.silent_clipboard_owner("never given")
        try:
            ping = subprocess.Popen([SYSTEM_PYTHON, str(here / "ping.py"), session.window, "4", "6"],
                                    stdout=subprocess.PIPE, text=True)
            time.sleep(0.3)  # the first pings go out before the paste
            session.click((left + 10, first_row))
            desktop.keys("ctrl+a", "ctrl+v")
            worst = float(ping.communicate(timeout=30)[0].strip() or "99")
        finally:
            owner.send_signal(signal.SIGCONT)
            owner.kill()
            owner.wait()
        kept = session.copy_from(session.inputs_point(), len(TWO_LINES), 5)
        passed = worst <= PING_LIMIT and kept == TWO_LINES
        return passed, f"the window answered every ping within {worst:.2f} s (at most {PING_LIMIT} s allowed); " \
                       f"Inputs holds {kept!r}, expected {TWO_LINES!r}"
    session.run("a clipboard owner that never answers does not freeze the window", silent_owner)

    def launcher():
        entries = list((Path(session.program.path).resolve().parent.parent / "packaging").glob("*.desktop"))
        if not entries:
            return False, "no desktop entry beside the program's build"
        entry = configparser.ConfigParser(interpolation=None)
        entry.read(entries[0])
        wanted = entry.get("Desktop Entry", "StartupWMClass", fallback=None)
        wm_class = subprocess.run(["xprop", "-id", session.window, "WM_CLASS"], capture_output=True, text=True,
                                  timeout=10).stdout.strip()
        got = wm_class.split("=", 1)[-1].split(",")[-1].strip().strip('"')
        return wanted is not None and got == wanted, \
            f"WM_CLASS {wm_class!r}; the desktop entry's StartupWMClass is {wanted!r}"
    session.run("the window's class is the one its desktop entry names", launcher)
