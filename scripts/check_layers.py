#!/usr/bin/env python3
"""Fails when a source file includes what its folder may not see.

The build already keeps most directions (each folder's library sees only the
folders it links); this also covers headers no library compiles on its own,
and the window-system headers, which any file could reach through the
system include path.

Usage: check_layers.py [ROOT]   (default: the repository holding this script)
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)

# Folder -> the project folders its files may include from. Longest prefix wins.
ALLOWED = {
    "host/fastpath/": ["host/fastpath/"],
    "host/runtime/": ["host/runtime/", "host/fastpath/"],
    "host/design/": ["host/runtime/", "host/design/"],
    "host/records/": ["host/runtime/", "host/design/", "host/records/"],
    "host/objects/": ["host/runtime/", "host/design/", "host/objects/"],
    "host/textbox/": ["host/runtime/", "host/textbox/"],
    "host/start/": ["host/runtime/", "host/design/", "host/records/", "host/objects/", "host/start/"],
    "host/qt/": ["host/runtime/", "host/design/", "host/objects/", "host/textbox/", "host/qt/", "quillfen/"],
    "host/win32/": ["host/runtime/", "host/design/", "host/objects/", "host/textbox/", "host/win32/"],
    "convert/": ["host/runtime/", "convert/"],
    "window/": ["host/runtime/", "host/design/", "host/objects/", "convert/", "window/"],
    "tools/": ["host/runtime/", "convert/", "tools/"],
    "tests/host/": ["host/", "tests/host/", "quillfen/"],
}

# Window-system headers, and the folders whose files may include them.
QT_HEADER = re.compile(r"^Q[A-Za-z]|^Qt[A-Za-z]*/")
WINDOWS_HEADER = re.compile(
    r"^(windows|windowsx|commctrl|imm|oleacc|ole2|usp10|winuser|wingdi|shellapi)\.h$", re.IGNORECASE)
QT_FOLDERS = ("host/qt/", "tests/host/qt/", "tests/app/qt/", "bench/")
WINDOWS_FOLDERS = ("host/win32/", "tests/host/win32/", "tests/app/win32/")


def rule_for(path):
    matches = [folder for folder in ALLOWED if path.startswith(folder)]
    return ALLOWED[max(matches, key=len)] if matches else None


def problems(root):
    found = []
    for file in sorted(root.rglob("*")):
        if file.suffix not in (".h", ".cpp") or "build" in file.relative_to(root).parts[:1]:
            continue
        path = file.relative_to(root).as_posix()
        allowed = rule_for(path)
        for quote, name in INCLUDE.findall(file.read_text(encoding="utf-8", errors="replace")):
            if quote == "<":
                if QT_HEADER.search(name) and not path.startswith(QT_FOLDERS):
                    found.append(f"{path}: includes the Qt header <{name}> outside the Qt backend")
                if WINDOWS_HEADER.search(name) and not path.startswith(WINDOWS_FOLDERS):
                    found.append(f"{path}: includes the Windows header <{name}> outside the Win32 backend")
            elif allowed is not None and "/" in name and not name.startswith(tuple(allowed)):
                found.append(f'{path}: includes "{name}", which its folder may not see')
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = problems(root)
    for line in found:
        print(line, file=sys.stderr)
    if found:
        return 1
    print(f"layers: every include in {root} keeps its folder's direction")
    return 0


if __name__ == "__main__":
    sys.exit(main())
