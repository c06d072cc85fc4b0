"""Resizes, maximises, minimises and restores the window and checks from
screenshots that the text boxes follow it.

What the program sees: it sizes the boxes from the window's outer size,
which the Qt backend takes from Qt's frame geometry; Qt learns the frame
from the window manager's _NET_FRAME_EXTENTS once the window is framed.
So the outer size used here is the client size plus those extents, read
at the same moment as the picture.

The ratios client/outer are taken at load, before the window is first
shown: no window manager has framed it yet, Qt knows no frame, outer and
client sizes are equal and both ratios are 1. Once the window manager
frames the window, or changes its frame on maximising, the program lays
out again, so every layout is checked against the present frame."""

from desktop import poll

TWIPS_PER_INCH = 1440
HEIGHT_ALLOWANCE = 1800
WIDTH_ALLOWANCE = 1330
BOXES_LEFT = 960
INPUTS_TOP = 360
INPUTS_HEIGHT = 615
OUTPUTS_TOP = 1320
COMMAND1_RIGHT = 120 + 735

RATIOS_AT_LOAD = (1.0, 1.0)  # height, width
EDGE_TOLERANCE = 2  # pixels
SETTLE_TIMEOUT = 5  # seconds for the window manager and the program to react
RESIZES = ((600, 500), (380, 880))


class Layout:
    def __init__(self, session):
        self.session = session
        self.desktop = session.desktop

    def px(self, twips):
        return self.session.px(twips)

    @property
    def window(self):
        return self.session.window

    # Expected and measured edges, in pixels of the client area; a right or
    # bottom edge is the last column or row the box covers.

    def expected(self, outer, ratios, client):
        dpi = self.session.dpi
        outer_width = outer[0] * TWIPS_PER_INCH / dpi
        outer_height = outer[1] * TWIPS_PER_INCH / dpi
        width = max(0, self.px((outer_width - WIDTH_ALLOWANCE) * ratios[1]))
        height = max(0, self.px((outer_height - HEIGHT_ALLOWANCE) * ratios[0]))
        left = self.px(BOXES_LEFT)
        right = min(left + width - 1, client[0] - 1)
        return {
            "Outputs left": left,
            "Outputs top": self.px(OUTPUTS_TOP),
            "Outputs right": right,
            "Outputs bottom": min(self.px(OUTPUTS_TOP) + height - 1, client[1] - 1),
            "Inputs right": right,
            "Inputs bottom": self.px(INPUTS_TOP) + self.px(INPUTS_HEIGHT) - 1,
        }

    def measure(self, picture):
        """Finds the edges by walking from plain background into each box:
        rows through the middle of the boxes from the right-hand side,
        columns from the bottom and through the gap between the boxes."""
        background = picture.pixel(self.px(COMMAND1_RIGHT) // 2, self.px(OUTPUTS_TOP) + 40)
        left = self.px(BOXES_LEFT)
        column = left + 6  # left of Label2, so the gap above Outputs is plain
        outputs_row = self.px(OUTPUTS_TOP) + 40
        inputs_row = self.px(INPUTS_TOP) + self.px(INPUTS_HEIGHT) // 2
        gap = (self.px(INPUTS_TOP + INPUTS_HEIGHT) + self.px(OUTPUTS_TOP)) // 2
        last_x, last_y = picture.width - 1, picture.height - 1
        return {
            "Outputs left": picture.first_different(background, left // 2, outputs_row, 1, 0),
            "Outputs top": picture.first_different(background, column, gap, 0, 1),
            "Outputs right": picture.first_different(background, last_x, outputs_row, -1, 0),
            "Outputs bottom": picture.first_different(background, column, last_y, 0, -1),
            "Inputs right": picture.first_different(background, last_x, inputs_row, -1, 0),
            "Inputs bottom": picture.first_different(background, column, gap, 0, -1),
        }

    @staticmethod
    def off_by(measured, expected):
        return {edge: measured[edge] - expected[edge] for edge in expected
                if abs(measured[edge] - expected[edge]) > EDGE_TOLERANCE}

    def check(self, name):
        """Waits until the boxes sit where the formulas put them for the
        window's present outer size, or the time is up."""
        seen = {}

        def settled():
            client = self.desktop.client_size(self.window)
            frame = self.desktop.frame_extents(self.window)
            framed = (client[0] + frame[0] + frame[1], client[1] + frame[2] + frame[3])
            outers = [("frame known", framed)]
            measured = self.measure(self.desktop.screenshot(self.window))
            seen.update(client=client, frame=frame, measured=measured, outers=outers)
            for label, outer in outers:
                if not self.off_by(measured, self.expected(outer, RATIOS_AT_LOAD, client)):
                    return label
            return None

        def body():
            label = poll(settled, SETTLE_TIMEOUT, interval=0.2)
            if label:
                client = seen["client"]
                return True, "", f"client {client[0]}x{client[1]}, {label}" if len(seen["outers"]) > 1 else ""
            client, frame = seen["client"], seen["frame"]
            lines = [f"client {client[0]}x{client[1]} px, frame left/right/top/bottom {frame}, "
                     f"ratios at load {RATIOS_AT_LOAD}; measured {seen['measured']}"]
            for label, outer in seen["outers"]:
                expected = self.expected(outer, RATIOS_AT_LOAD, client)
                lines.append(f"outer {outer[0]}x{outer[1]} ({label}): expected {expected}, "
                             f"off by {self.off_by(seen['measured'], expected)}")
            framed = seen["outers"][0][1]
            design = (self.px(6615), self.px(10890))
            design_outer = (design[0] + frame[0] + frame[1], design[1] + frame[2] + frame[3])
            ratios = (design[1] / design_outer[1], design[0] / design_outer[0])
            lines.append(f"with ratios of the framed design size {tuple(round(r, 4) for r in ratios)} "
                         f"the edges would be {self.expected(framed, ratios, client)}")
            return False, "\n    ".join(lines)
        self.session.run(name, body)

    def check_first_showing(self):
        self.check("layout at the first showing")

    def check_resizing(self):
        for width, height in RESIZES:
            self.resize(width, height)
        self.maximise_and_restore()
        self.minimise_and_restore()

    def resize(self, width, height):
        def resized():
            self.desktop.resize(self.window, width, height)
            size = poll(lambda: self.desktop.client_size(self.window) == (width, height), SETTLE_TIMEOUT)
            return bool(size), f"the client area did not become {width}x{height}: " \
                               f"{self.desktop.client_size(self.window)}"
        self.session.run(f"window resized to {width}x{height}", resized)
        self.check(f"layout at {width}x{height}")

    def toggle_maximised(self):
        """Double-clicks the middle of the title bar."""
        width, _ = self.desktop.client_size(self.window)
        top = self.desktop.frame_extents(self.window)[2]
        self.session.click((width // 2, -max(1, top // 2)), count=2)

    def maximise_and_restore(self):
        before = self.desktop.client_size(self.window)

        def maximised():
            self.toggle_maximised()
            done = poll(lambda: self.desktop.is_maximised(self.window), SETTLE_TIMEOUT)
            return bool(done), "a double click on the title bar did not maximise the window"
        self.session.run("window maximised", maximised)
        self.check("layout maximised")

        def restored():
            self.toggle_maximised()
            done = poll(lambda: not self.desktop.is_maximised(self.window)
                        and self.desktop.client_size(self.window) == before, SETTLE_TIMEOUT)
            return bool(done), f"a second double click left the client area at " \
                               f"{self.desktop.client_size(self.window)}, expected {before}"
        self.session.run("window restored from maximised", restored)
        self.check("layout restored from maximised")

    def minimise_and_restore(self):
        def minimised():
            self.desktop.minimise(self.window)
            hidden = poll(lambda: not self.desktop.is_viewable(self.window), SETTLE_TIMEOUT)
            if not hidden:
                return False, "the window is still on screen after minimising"
            self.desktop.activate(self.window)
            shown = poll(lambda: self.desktop.is_viewable(self.window), SETTLE_TIMEOUT)
            return bool(shown), "the minimised window did not come back when activated"
        self.session.run("window minimised and restored", minimised)
        self.check("layout restored from minimised")
