#!/usr/bin/env python3
"""Writes the text engine's bidi tables from Unicode's own data files.

Usage: bidi_tables.py DerivedBidiClass.txt BidiBrackets.txt OUTPUT.h
"""
import re
import sys

CLASSES = ["L", "R", "AL", "EN", "ES", "ET", "AN", "CS", "NSM", "BN", "B", "S", "WS", "ON",
           "LRE", "LRO", "RLE", "RLO", "PDF", "LRI", "RLI", "FSI", "PDI"]
LONG_NAMES = {
    "Left_To_Right": "L", "Right_To_Left": "R", "Arabic_Letter": "AL", "European_Terminator": "ET",
    "Boundary_Neutral": "BN",
}
RANGE = re.compile(r"^([0-9A-F]{4,6})(?:\.\.([0-9A-F]{4,6}))?\s*;\s*(\w+)")


def class_ranges(path):
    """[(first, class)] covering every code point, adjacent equal classes merged."""
    table = bytearray(CLASSES.index("L") for _ in range(0x110000))
    defaults, explicit = [], []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            missing = line.startswith("# @missing:")
            match = RANGE.match(line[len("# @missing:"):].strip() if missing else line)
            if not match:
                continue
            first = int(match.group(1), 16)
            last = int(match.group(2) or match.group(1), 16)
            name = LONG_NAMES.get(match.group(3), match.group(3))
            (defaults if missing else explicit).append((first, last, CLASSES.index(name)))
    for first, last, value in defaults + explicit:
        table[first:last + 1] = bytes([value]) * (last - first + 1)
    ranges = []
    for code, value in enumerate(table):
        if not ranges or ranges[-1][1] != value:
            ranges.append((code, value))
    return ranges


def bracket_pairs(path):
    pairs = []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            fields = [field.strip() for field in line.split("#")[0].split(";")]
            if len(fields) == 3 and fields[2] == "o":
                pairs.append((int(fields[0], 16), int(fields[1], 16)))
    return sorted(pairs)


def main():
    classes, brackets, output = sys.argv[1:4]
    rows = [f"    {{0x{first:X}, BidiClass::k{CLASSES[value]}}}," for first, value in class_ranges(classes)]
    pairs = [f"    {{0x{open_:X}, 0x{close:X}}}," for open_, close in bracket_pairs(brackets)]
    with open(output, "w", encoding="utf-8") as out:
        out.write("// Written by cmake/bidi_tables.py from Unicode's data files; do not edit.\n")
        out.write("#pragma once\n\nnamespace host {\n\n")
        out.write("struct BidiClassRange {\n  char32_t first;\n  BidiClass bidi_class;\n};\n\n")
        out.write("inline constexpr BidiClassRange kBidiClassRanges[] = {\n" + "\n".join(rows) + "\n};\n\n")
        out.write("struct BracketPair {\n  char32_t open;\n  char32_t close;\n};\n\n")
        out.write("inline constexpr BracketPair kBracketPairs[] = {\n" + "\n".join(pairs) + "\n};\n\n")
        out.write("}  // namespace host\n")


if __name__ == "__main__":
    main()
