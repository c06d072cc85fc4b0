#!/usr/bin/env python3
"""Each forbidden include is caught, and each allowed one passes."""
import pathlib
import subprocess
import sys
import tempfile

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check_layers.py"

# (file, line, whether the check must fail)
CASES = [
    ("window/jsonfrm.cpp", '#include "host/records/byte_reader.h"', True),
    ("window/jsonfrm.cpp", '#include "host/start/start.h"', True),
    ("window/jsonfrm.cpp", '#include "host/textbox/text_buffer.h"', True),
    ("window/jsonfrm.cpp", '#include "host/qt/qt_window.h"', True),
    ("convert/json_format.cpp", '#include "host/objects/controls.h"', True),
    ("host/runtime/replace.cpp", '#include "host/textbox/line_index.h"', True),
    ("host/records/project_reader.h", '#include "host/objects/form.h"', True),
    ("host/textbox/text_buffer.h", "#include <QString>", True),
    ("host/win32/win32_window.cpp", "#include <QWidget>", True),
    ("window/jsonfrm.cpp", "#include <Windows.h>", True),
    ("host/qt/text_view.cpp", "#include <windows.h>", True),
    ("tests/host/start/dispatch_test.cpp", '#include "window/procedures.h"', True),
    ("tests/host/start/dispatch_test.cpp", '#include "app/project_image.h"', True),
    ("window/jsonfrm.cpp", '#include "host/objects/controls.h"', False),
    ("window/jsonfrm.cpp", '#include "convert/json_format.h"', False),
    ("host/qt/text_view.cpp", "#include <QAbstractScrollArea>", False),
    ("host/qt/text_view.cpp", '#include "host/textbox/text_buffer.h"', False),
    ("host/win32/win32_window.cpp", "#include <windows.h>", False),
    ("host/start/start.cpp", '#include "host/records/project_reader.h"', False),
    ("tests/app/qt/qt_window_test.cpp", '#include "window/design.h"', False),
    ("window/jsonfrm.cpp", "#include <vector>", False),
]


def run(file, line):
    with tempfile.TemporaryDirectory() as root:
        path = pathlib.Path(root) / file
        path.parent.mkdir(parents=True)
        path.write_text(line + "\n")
        return subprocess.run([sys.executable, str(SCRIPT), root], capture_output=True, text=True)


def main():
    failures = 0
    for file, line, must_fail in CASES:
        result = run(file, line)
        failed = result.returncode != 0
        if failed != must_fail or (must_fail and file not in result.stderr):
            failures += 1
            print(f"FAIL {file}: {line}: exit {result.returncode}, expected "
                  f"{'a failure naming the file' if must_fail else 'success'}\n{result.stderr}")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
