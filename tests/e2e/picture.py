"""A screenshot as RGB pixels, and the scans that find a control's edges
in it. The text boxes are no X windows of their own, so their edges are
read from the picture: where the window's plain background gives way to
the box's border."""

# Two colours closer than this (sum over the channels) count as the same.
SAME_COLOUR = 24


class Picture:
    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self._rgb = rgb

    @classmethod
    def from_ppm(cls, data):
        """Reads a binary PPM (P6) with 8 bits per channel."""
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        magic, width, height, maximum = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        if magic != b"P6" or maximum != 255:
            raise ValueError(f"not an 8-bit P6 picture: {magic!r}, maximum {maximum}")
        rgb = data[position + 1:]
        if len(rgb) < width * height * 3:
            raise ValueError(f"picture cut short: {len(rgb)} bytes for {width}x{height}")
        return cls(width, height, rgb)

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self._rgb[offset:offset + 3])

    def same(self, x, y, colour):
        return sum(abs(a - b) for a, b in zip(self.pixel(x, y), colour)) <= SAME_COLOUR

    def first_different(self, colour, x, y, dx, dy):
        """Walks from (x, y) in steps of (dx, dy) and returns the first
        position, along the walk's axis, whose pixel is not `colour`; the
        last position inside the picture if all of them are."""
        while 0 <= x + dx < self.width and 0 <= y + dy < self.height and self.same(x, y, colour):
            x += dx
            y += dy
        return x if dx else y
