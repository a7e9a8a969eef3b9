#!/usr/bin/env python3
"""Rewrites the project's #include lines so that each names its header by path.

Every header of the project lives under one of these roots, and is included by
its path from that root:

  include/  the public headers, included as <qorOrvaneUI/...> (installed)
  src/      the layers' internal headers: "runtime/Criteria.h", "host/..."
  tests/    the tests' fixtures: "support/TestHelpers.h", "loss/LossFixture.h"
  apps/     the programs' headers: "orvane-demo/DemoMainWindow.h"
  bench/    the benchmarks' helpers: "BenchShop.h"

The script finds every header under those roots, then reads each C++ file of
the project and rewrites an #include whose name ends (by whole path
components) with exactly one project header to that header's canonical form.
System, Qt and third-party includes name no project header and are left
alone. A name that fits two headers is reported and left as it is.

It is idempotent: a canonical include maps to itself, so running it again
(say after merging branches that add bare includes or move headers) changes
only what is not yet canonical. Run `./dev format` afterwards: a rewritten
line may sort differently within its include block.

Usage: tools/fix_includes.py [--check] [REPO]
  --check  change nothing; list the lines that would change and exit 1 if any
"""

import re
import sys
from pathlib import Path

# Root folder -> how its headers are spelled: angle brackets for the public
# (installed) tree, quotes for everything that stays in the repository.
ROOTS = {"include": "<>", "src": '""', "tests": '""', "apps": '""', "bench": '""'}
SOURCES = ("include", "src", "tests", "apps", "bench", "examples")
SUFFIXES = {".h", ".cpp"}
INCLUDE = re.compile(r'^(\s*#\s*include\s*)([<"])([^>"]+)[>"](.*)$')


def headers(repo):
    """Every project header: its path components from its root, and its spelling."""
    found = []
    for root, brackets in ROOTS.items():
        base = repo / root
        if not base.is_dir():
            continue
        for path in base.rglob("*.h"):
            if "build" in path.relative_to(repo).parts[:1]:
                continue
            rel = path.relative_to(base).as_posix()
            found.append((tuple(rel.split("/")), brackets[0] + rel + brackets[1]))
    return found


def canonical(name, known):
    parts = tuple(name.split("/"))
    matches = {spelling for path, spelling in known if path[-len(parts):] == parts}
    return matches


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    repo = Path(args[0] if args else Path(__file__).resolve().parent.parent).resolve()
    known = headers(repo)
    changed, ambiguous = [], []
    for folder in SOURCES:
        base = repo / folder
        if not base.is_dir():
            continue
        for path in sorted(base.rglob("*")):
            if path.suffix not in SUFFIXES or not path.is_file():
                continue
            lines = path.read_text(encoding="utf-8").splitlines(keepends=True)
            dirty = False
            for i, line in enumerate(lines):
                m = INCLUDE.match(line.rstrip("\n"))
                if not m:
                    continue
                lead, _, name, rest = m.groups()
                matches = canonical(name, known)
                if len(matches) > 1:
                    ambiguous.append(f"{path.relative_to(repo)}:{i + 1}: {name}: {sorted(matches)}")
                    continue
                if not matches:
                    continue
                spelling = matches.pop()
                if spelling[1:-1] == name and line.lstrip().startswith(lead.lstrip()) and \
                        m.group(2) == spelling[0]:
                    continue
                new = f"{lead}{spelling}{rest}\n" if line.endswith("\n") else f"{lead}{spelling}{rest}"
                if new != line:
                    changed.append(f"{path.relative_to(repo)}:{i + 1}: {name} -> {spelling}")
                    lines[i] = new
                    dirty = True
            if dirty and not check:
                path.write_text("".join(lines), encoding="utf-8")
    for line in ambiguous:
        print("ambiguous, left alone:", line, file=sys.stderr)
    for line in changed:
        print(line)
    return 1 if (check and changed) or ambiguous else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
