#!/usr/bin/env python3
"""Non-blank, non-comment lines of the tracked C++ files: tests/ against src/,
include/, apps/ and bench/, and the ratio the project keeps to a third at most.

The public headers count as code: they were under src/ when this count was first
taken and only moved to include/ to be installed from one place."""
import re
import subprocess
import sys

# Strings are blanked first so a "//" or "/*" inside one is not taken for a comment.
TOKENS = re.compile(r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*.*?\*/', re.S)


def code_lines(text):
    def keep(m):
        t = m.group(0)
        if t.startswith("//"):
            return ""
        if t.startswith("/*"):
            return "\n" * t.count("\n")
        return '""'

    # Raw strings hold whole documents in the tests; their lines count as code.
    text = re.sub(r'R"([^(\s]*)\((.*?)\)\1"', lambda m: "x\n" * m.group(2).count("\n") + "x", text,
                  flags=re.S)
    return sum(1 for line in TOKENS.sub(keep, text).splitlines() if line.strip())


def main():
    files = subprocess.run(["git", "ls-files", "-z", "--", "*.cpp", "*.h"], check=True,
                           capture_output=True, text=True).stdout.split("\0")
    counts = {}
    for path in filter(None, files):
        top = path.split("/", 1)[0]
        with open(path, encoding="utf-8", errors="replace") as f:
            counts[top] = counts.get(top, 0) + code_lines(f.read())
    tests = counts.get("tests", 0)
    code = sum(counts.get(d, 0) for d in ("src", "include", "apps", "bench"))
    for d in ("src", "include", "apps", "bench", "tests"):
        print(f"{d + '/':8} {counts.get(d, 0):>7,}")
    ratio = 100.0 * tests / code if code else 0.0
    print(f"tests / code: {tests:,} / {code:,} = {ratio:.1f}% (the aim: a third at most)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
