"""What a person at the desktop can do: look for a window, move the mouse,
click, type, use the clipboard and take screenshots. Every call is bounded
in time; nothing here reaches into the program under test."""

import os
import signal
import subprocess
import time
from pathlib import Path

from picture import Picture

TOOL_TIMEOUT = 10  # seconds for any one call of an X tool


class DesktopError(Exception):
    pass


def poll(check, timeout, interval=0.1):
    """Calls `check` until it returns something other than None or False,
    for at most `timeout` seconds; returns the last result."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


def _run(args, input_bytes=None, timeout=TOOL_TIMEOUT):
    try:
        return subprocess.run(args, input=input_bytes, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired as error:
        raise DesktopError(f"{' '.join(args)} gave no answer within {timeout} s") from error


def _end(process):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=5)


class Clipboard:
    """The X clipboard. Offering a text keeps one xclip process of ours
    serving it; it is ended by its id when the next text is offered."""

    # What xclip announces while it owns the clipboard.
    OWN_TARGETS = b"TARGETS\nUTF8_STRING"

    def __init__(self, work):
        self._file = Path(work) / "clipboard.txt"
        self._server = None

    def offer(self, text, selection="clipboard"):
        self.close()
        self._file.write_bytes(text.encode("utf-8"))
        self._server = subprocess.Popen(
            ["xclip", "-quiet", "-selection", selection, "-t", "UTF8_STRING", "-i", str(self._file)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        owned = poll(lambda: self._targets(selection).strip() == self.OWN_TARGETS, timeout=5)
        if not owned:
            raise DesktopError(f"xclip did not take the {selection} selection within 5 s")

    def release(self):
        """Hands the serving xclip to the caller, who ends it."""
        server, self._server = self._server, None
        return server

    def read(self, timeout=TOOL_TIMEOUT):
        """The clipboard's text, or None when no one offers one."""
        result = _run(["xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING"], timeout=timeout)
        if result.returncode != 0:
            return None
        return result.stdout.decode("utf-8", errors="backslashreplace")

    def _targets(self, selection="clipboard"):
        result = _run(["xclip", "-o", "-selection", selection, "-t", "TARGETS"])
        return result.stdout if result.returncode == 0 else b""

    def close(self):
        _end(self._server)
        self._server = None


class Desktop:
    def __init__(self, work):
        self.clipboard = Clipboard(work)

    def close(self):
        self.clipboard.close()

    # Windows.

    def find_window(self, caption, timeout):
        """The id of the visible window with exactly this caption, or None."""
        def search():
            result = _run(["xdotool", "search", "--onlyvisible", "--name", f"^{caption}$"])
            ids = result.stdout.split()
            return ids[0].decode() if ids else None
        return poll(search, timeout)

    def is_viewable(self, window):
        result = _run(["xdotool", "search", "--onlyvisible", "--name", "."])
        return window.encode() in result.stdout.split()

    def client_size(self, window):
        """Width and height of the window's client area, in pixels."""
        result = _run(["xdotool", "getwindowgeometry", "--shell", window])
        values = dict(line.split("=", 1) for line in result.stdout.decode().split() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def frame_extents(self, window):
        """Left, right, top and bottom of the frame the window manager has
        put around the window, as it announces them to every client."""
        result = _run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"])
        text = result.stdout.decode()
        if "=" not in text:
            return (0, 0, 0, 0)
        return tuple(int(value) for value in text.split("=", 1)[1].split(","))

    def is_maximised(self, window):
        result = _run(["xprop", "-id", window, "_NET_WM_STATE"])
        text = result.stdout.decode()
        return "_NET_WM_STATE_MAXIMIZED_VERT" in text and "_NET_WM_STATE_MAXIMIZED_HORZ" in text

    def resize(self, window, width, height):
        self._xdotool("windowsize", window, str(width), str(height))

    def minimise(self, window):
        self._xdotool("windowminimize", window)

    def activate(self, window):
        self._xdotool("windowactivate", window)

    # Mouse and keyboard.

    def drag(self, window, x1, y1, x2, y2):
        """Holds the left button from one point of the window to another."""
        self._xdotool("mousemove", "--window", window, str(x1), str(y1), "mousedown", "1",
                      "mousemove", "--window", window, str((x1 + x2) // 2), str(y1),
                      "mousemove", "--window", window, str(x2), str(y2), "mouseup", "1")

    def middle_click(self, window, x, y):
        self._xdotool("mousemove", "--window", window, str(x), str(y), "click", "2")

    def offer_primary(self, text):
        """Puts `text` on the primary selection, served by xclip until the
        next offer of any kind."""
        self.clipboard.offer(text, selection="primary")

    def silent_clipboard_owner(self, text):
        """A program that takes the clipboard and then never answers: xclip,
        stopped once it owns it. The caller continues and ends it."""
        self.clipboard.offer(text)
        owner = self.clipboard.release()
        owner.send_signal(signal.SIGSTOP)
        return owner

    def click(self, window, x, y, count=1):
        """Clicks the left button at (x, y) of the window's client area;
        negative y reaches into the title bar above it."""
        self._xdotool("mousemove", "--window", window, str(x), str(y),
                      "click", "--repeat", str(count), "--delay", "80", "1")

    def keys(self, *names):
        self._xdotool("key", "--delay", "30", *names)

    def type(self, text):
        self._xdotool("type", "--delay", "30", text)

    # Screenshots.

    def screenshot(self, window=None):
        """A picture of the window's client area, or of the whole screen."""
        target = window if window is not None else "root"
        result = _run(["import", "-window", target, "-depth", "8", "-type", "TrueColor", "ppm:-"])
        if result.returncode != 0:
            raise DesktopError(f"import failed: {result.stderr.decode(errors='replace').strip()}")
        return Picture.from_ppm(result.stdout)

    def save_screenshot(self, path, window=None, frame=False):
        target = window if window is not None else "root"
        args = ["import", "-window", target]
        if frame:
            args.append("-frame")
        result = _run(args + [f"png:{path}"])
        if result.returncode != 0:
            raise DesktopError(f"import failed: {result.stderr.decode(errors='replace').strip()}")

    def _xdotool(self, *args):
        result = _run(["xdotool", *args])
        if result.returncode != 0:
            raise DesktopError(f"xdotool {' '.join(args)}: {result.stderr.decode(errors='replace').strip()}")


def program_environment():
    """The environment the program under test starts with: this run's X
    display, and nothing of the offscreen platform the unit tests use."""
    env = {key: value for key, value in os.environ.items() if not key.startswith("QT_")}
    env["QT_QPA_PLATFORM"] = "xcb"
    return env
