"""Resizes, maximises, minimises and restores the window and checks from
screenshots that the text boxes follow it.

What the program sees: it sizes the boxes from the window's outer size, the
client area with the frame the window manager announces in
_NET_FRAME_EXTENTS. The ratios client/outer are taken at load, before the
window is first shown, with the frame the window manager will give it; so
they are computed here from the design client size and the frame the
window has once shown. Every later layout is checked against the formulas
with those ratios and the outer size of that moment, frame included."""

from desktop import poll

TWIPS_PER_INCH = 1440
HEIGHT_ALLOWANCE = 1800
WIDTH_ALLOWANCE = 1330
BOXES_LEFT = 960
INPUTS_TOP = 360
INPUTS_HEIGHT = 615
OUTPUTS_TOP = 1320
COMMAND1_RIGHT = 120 + 735

DESIGN_CLIENT = (6615, 10890)  # width, height
EDGE_TOLERANCE = 1  # pixels
SETTLE_TIMEOUT = 5  # seconds for the window manager and the program to react
RESIZES = ((600, 500), (380, 880))


class Layout:
    def __init__(self, session):
        self.session = session
        self.desktop = session.desktop
        self.ratios = None  # height, width: as the program takes them at load
        self.worst = 0  # the largest edge error seen in a passing check, pixels

    def px(self, twips):
        return self.session.px(twips)

    @property
    def window(self):
        return self.session.window

    # Expected and measured edges, in pixels of the client area; a right or
    # bottom edge is the last column or row the box covers.

    def twips(self, pixels):
        return pixels * TWIPS_PER_INCH / self.session.dpi

    def ratios_at_load(self, frame):
        """Client over outer size, height and width, for the design client
        size in the frame `frame` (left, right, top, bottom)."""
        width, height = self.px(DESIGN_CLIENT[0]), self.px(DESIGN_CLIENT[1])
        return (self.twips(height) / self.twips(height + frame[2] + frame[3]),
                self.twips(width) / self.twips(width + frame[0] + frame[1]))

    def expected(self, outer, ratios):
        """Where the formulas put the edges for the outer size `outer`. Edges
        past the client area are expected there too: a box that runs out of
        the window is a fault that the picture shows."""
        width = max(0, self.px((self.twips(outer[0]) - WIDTH_ALLOWANCE) * ratios[1]))
        height = max(0, self.px((self.twips(outer[1]) - HEIGHT_ALLOWANCE) * ratios[0]))
        left = self.px(BOXES_LEFT)
        return {
            "Outputs left": left,
            "Outputs top": self.px(OUTPUTS_TOP),
            "Outputs right": left + width - 1,
            "Outputs bottom": self.px(OUTPUTS_TOP) + height - 1,
            "Inputs right": left + width - 1,
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
            outer = (client[0] + frame[0] + frame[1], client[1] + frame[2] + frame[3])
            measured = self.measure(self.desktop.screenshot(self.window))
            expected = self.expected(outer, self.ratios)
            seen.update(client=client, frame=frame, outer=outer, measured=measured, expected=expected)
            return not self.off_by(measured, expected)

        def body():
            if self.ratios is None:
                return False, "the ratios at load are unknown: the window was never seen framed"
            done = poll(settled, SETTLE_TIMEOUT, interval=0.2)
            measured, expected = seen["measured"], seen["expected"]
            error = max(abs(measured[edge] - expected[edge]) for edge in expected)
            where = (f"client {seen['client'][0]}x{seen['client'][1]} px, frame left/right/top/bottom "
                     f"{seen['frame']}, ratios at load {tuple(round(r, 4) for r in self.ratios)}")
            if done:
                self.worst = max(self.worst, error)
                return True, "", f"{where}; largest edge error {error} px"
            unframed = self.expected(seen["client"], self.ratios)
            return False, (f"{where}; measured {measured}\n    expected {expected}, off by "
                           f"{self.off_by(measured, expected)}\n    (for the client size alone as the "
                           f"outer size the edges would be {unframed})")
        self.session.run(name, body)

    def check_first_showing(self):
        """Takes the ratios from the frame of the newly shown window, then
        checks its layout."""
        def framed():
            frame = poll(lambda: (lambda f: f if any(f) else None)(self.desktop.frame_extents(self.window)),
                         SETTLE_TIMEOUT)
            if not frame:
                return False, "the window manager announced no frame for the window"
            self.ratios = self.ratios_at_load(frame)
            return True, "", f"frame left/right/top/bottom {frame}"
        self.session.run("window manager frames the window", framed)
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
