"""The texts pasted into Inputs and the readable texts Outputs must show
for them. Line breaks are written CR LF, as the program produces them."""

from dataclasses import dataclass


def pasted(text):
    """`text` as Inputs holds it after a paste: each LF stored as CR LF, a
    CR LF or a lone CR as it is."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def readable(text):
    """The readable form of `text`, for inputs too long to write out."""
    for searched, replacement in (("\t", ""), ("\n", ""), ("{", "{\r\n"), ("}", "\r\n}"), (",", "\r\n")):
        text = text.replace(searched, replacement)
    return text


@dataclass(frozen=True)
class Case:
    name: str
    text: str
    expected: str | None = None  # None: the readable form computed from `text`
    xfail: str | None = None
    timeout: float = 10
    picture: bool = False  # keep a picture of the window after this one

    def result(self):
        return readable(self.text) if self.expected is None else self.expected


def _pretty_printed():
    return ('{\n\t"name": "Quillfen",\n\t"sizes": [\n\t\t441,\n\t\t726\n\t],\n'
            '\t"empty": {},\n\t"nested": {\n\t\t"a": "x, y"\n\t}\n}\n')


def _large(size=1_000_000):
    """A one-line JSON text of at least `size` characters."""
    items = []
    length = 0
    index = 0
    while length < size:
        item = f'{{"id":{index},"name":"item {index}","tags":["ä","b"],"on":true}}'
        items.append(item)
        length += len(item) + 1
        index += 1
    return '{"items":[' + ",".join(items) + "]}"


KEYBOARD_INPUT = '{"k":1}'

CONVERSIONS = (
    Case("empty text", "", ""),
    Case("text without braces or commas", "abc", "abc"),
    Case("nested object", '{"a":1,"b":{"c":2}}', '{\r\n"a":1\r\n"b":{\r\n"c":2\r\n}\r\n}'),
    Case("empty object", "{}", "{\r\n\r\n}"),
    Case("array", "[1,2,3]", "[1\r\n2\r\n3]"),
    Case("closing and opening brace around a comma", "},{", "\r\n}\r\n{\r\n"),
    Case("comma inside a quoted value", '{"s":"x,y"}', '{\r\n"s":"x\r\ny"\r\n}'),
    Case("tabs and CR LF line ends", '{\r\n\t"a": 1\r\n}', '{\r\n\r"a": 1\r\r\n}'),
    # The pasted LFs arrive as CR LF, so a CR, not a line break, survives
    # behind each of the input's line ends.
    Case("pretty-printed with LF line ends", _pretty_printed(), readable(pasted(_pretty_printed()))),
    Case("non-ASCII and emoji", '{"greeting":"Grüße, 世界","emoji":["😀","👍🏽"],"nbsp":"a\u00a0b"}',
         '{\r\n"greeting":"Grüße\r\n 世界"\r\n"emoji":["😀"\r\n"👍🏽"]\r\n"nbsp":"a\u00a0b"\r\n}'),
    # Units the window system's clipboard is apt to drop or change on the way.
    Case("byte order mark, NULs and a lone CR", '\ufeff{"a":"x\x00y\rz"}\x00'),
    Case("application record", '{"name":"Quillfen","version":1,"size":{"w":441,"h":726},"tags":["json","text"]}',
         picture=True),
    Case("one megabyte on one line", _large(), timeout=60),
)
