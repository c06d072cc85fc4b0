"""Counts and prints the outcome of each check."""

import sys


class Results:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.skipped = 0

    def report(self, name, passed, seen, xfail=None, note=""):
        """A check marked `xfail` (the reason it is known to fail) passes
        either way: XFAIL while it still fails, XPASS once it no longer does."""
        if xfail:
            self.passed += 1
            if passed:
                print(f"XPASS {name} (was expected to fail: {xfail})")
            else:
                print(f"XFAIL {name}: {xfail}\n    {seen}")
        elif passed:
            self.passed += 1
            print(f"PASS  {name}" + (f" ({note})" if note else ""))
        else:
            self.failed += 1
            print(f"FAIL  {name}\n    {seen}")
        sys.stdout.flush()

    def skip(self, name, reason):
        self.skipped += 1
        print(f"SKIP  {name}: {reason}")
        sys.stdout.flush()

    def finish(self):
        line = f"{self.passed} passed, {self.failed} failed"
        if self.skipped:
            line += f", {self.skipped} skipped"
        print(line)
        return 1 if self.failed else 0
