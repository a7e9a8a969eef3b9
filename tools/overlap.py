#!/usr/bin/env python3
"""Which tests reach nothing that other tests do not also reach: the candidates for removal
when the suite is trimmed, and mutants to put them to the test.
    tools/overlap.py [--resume] [--unique K] [--mutants N]
Every ctest case runs alone in a coverage build (build-cov/, gcc --coverage) and the lines of
src/, include/ and apps/ it reaches are kept in build-cov/overlap/. The report lists, per test,
the lines it alone reaches and its size. With --mutants N, N mutants are drawn on the lines of each test with at most K lines of
its own (least-covered lines first, in files whose test programs include the test's) and
written as a mutation run for `./dev mutate --resume`: its report names the tests that alone
kill a mutant, the ones to keep.
"""
import argparse
import collections
import glob
import json
import os
import random
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mutate  # noqa: E402  (the mutants and the folder-to-programs table)

ROOT = mutate.ROOT
BUILD = os.path.join(ROOT, "build-cov")
OUT = os.path.join(BUILD, "overlap")
# Cases left out: soaks and packaging take minutes, fixtures test nothing, and fuzz replays
# reach much and assert little, so a line they alone share would hide a test's own.
SKIP = re.compile(r"^(soak_|package_|transport_pg_|fuzz_replay_)")
TEST = re.compile(r"^\s*(?:TEST|TEST_F|TEST_P)\(\s*(\w+)\s*,\s*(\w+)\s*\)")
CODE_LINE = re.compile(r"^\s*(//.*)?$")


def configure_and_build():
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                        "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_CXX_FLAGS=--coverage",
                        "-DCMAKE_EXE_LINKER_FLAGS=--coverage", "-DCMAKE_SHARED_LINKER_FLAGS=--coverage",
                        "-DORVANE_BUILD_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD], check=True, stdout=subprocess.DEVNULL)


def cases():
    shown = json.loads(subprocess.run(["ctest", "--test-dir", BUILD, "--show-only=json-v1"],
                                      check=True, capture_output=True, text=True).stdout)
    return [(i, t["name"]) for i, t in enumerate(shown["tests"], 1)]


def reached():
    """The lines of src/, include/ and apps/ the last run reached, from gcov's JSON."""
    gcda = [p for p in glob.glob(os.path.join(BUILD, "**", "*.gcda"), recursive=True)
            if not os.path.relpath(p, BUILD).startswith("tests/")]
    lines = set()
    for start in range(0, len(gcda), 200):
        out = subprocess.run(["gcov", "--json-format", "--stdout", *gcda[start:start + 200]],
                             cwd=BUILD, capture_output=True, text=True).stdout
        for record in out.splitlines():
            try:
                files = json.loads(record).get("files", [])
            except ValueError:
                continue
            for f in files:
                path = os.path.relpath(os.path.normpath(os.path.join(BUILD, f["file"])), ROOT)
                if path.startswith(("src/", "include/", "apps/")) and "_autogen" not in path:
                    lines.update(f"{path}:{ln['line_number']}" for ln in f["lines"] if ln["count"])
    return lines


def output(name):
    return os.path.join(OUT, re.sub(r"[^\w.-]", "_", name) + ".json")


def run_alone(measured, resume):
    os.makedirs(OUT, exist_ok=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for index, name in measured:
        out = output(name)
        if resume and os.path.exists(out):
            continue
        for p in glob.glob(os.path.join(BUILD, "**", "*.gcda"), recursive=True):
            os.remove(p)
        subprocess.run(["ctest", "--test-dir", BUILD, "-I", f"{index},{index}", "--timeout", "600"],
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out, "w", encoding="utf-8") as f:
            json.dump({"name": name, "lines": sorted(reached())}, f)
        print(f"overlap: {name}", flush=True)


def test_blocks():
    """TEST blocks by Suite.Name: file and counted lines."""
    blocks = {}
    for path in mutate.sources(["tests"]):
        text = mutate.read(os.path.join(ROOT, path)).split("\n")
        for i, line in enumerate(text):
            m = TEST.match(line)
            if not m:
                continue
            depth, j, opened = 0, i, False
            while j < len(text):
                depth += text[j].count("{") - text[j].count("}")
                opened = opened or "{" in text[j]
                if opened and depth <= 0:
                    break
                j += 1
            size = sum(1 for k in range(i, j + 1) if not CODE_LINE.match(text[k]))
            blocks[f"{m.group(1)}.{m.group(2)}"] = (path, size)
    return blocks


def suite_name(case):
    """Prefix/Suite.Name/param -> Suite.Name."""
    head, _, rest = case.partition(".")
    return head.split("/")[-1] + "." + rest.split("/")[0]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--resume", action="store_true", help="keep the cases already measured")
    ap.add_argument("--unique", type=int, default=0, help="list tests with at most K lines of their own")
    ap.add_argument("--mutants", type=int, default=0, help="draw N mutants a listed test")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    configure_and_build()
    measured = [(i, name) for i, name in cases() if not SKIP.match(name)]
    run_alone(measured, args.resume)

    groups = collections.defaultdict(set)
    for _, name in measured:  # not the files of cases that are gone
        with open(output(name), encoding="utf-8") as f:
            d = json.load(f)
        groups[suite_name(d["name"])] |= set(d["lines"])
    count = collections.Counter(line for lines in groups.values() for line in lines)
    blocks = test_blocks()
    listed = sorted(((sum(count[x] == 1 for x in lines), -blocks.get(t, ("", 0))[1], t)
                     for t, lines in groups.items() if t in blocks), key=lambda r: (r[0], r[1]))
    listed = [r for r in listed if r[0] <= args.unique]
    print(f"{'own':>4} {'size':>5}  test (file)")
    for own, size, t in listed:
        print(f"{own:4} {-size:5}  {t} ({blocks[t][0]})")

    if args.mutants:
        rng, chosen, of = random.Random(args.seed), {}, {}
        for _, _, t in listed:
            program = blocks[t][0].split("/")[1] + "_tests"
            lines = sorted((count[x], rng.random(), x) for x in groups[t])
            drawn = 0
            for _, _, x in lines:
                path, number = x.rsplit(":", 1)
                if (not path.endswith(".cpp") or program not in mutate.programs_for(path)
                        or not os.path.exists(os.path.join(ROOT, path))):  # generated
                    continue
                if path not in of:
                    of[path] = mutate.mutants_of(path)
                options = [mutate.mutant(path, *m) for m in of[path] if m[0] == int(number)]
                options = [m for m in options if m["id"] not in chosen]
                if not options:
                    continue
                m = rng.choice(options)
                chosen[m["id"]] = m
                drawn += 1
                if drawn == args.mutants:
                    break
        os.makedirs(mutate.BUILD, exist_ok=True)
        mutate.save({"command": "./dev overlap " + " ".join(sys.argv[1:]), "seed": args.seed,
                     "mutants": sorted(chosen.values(), key=lambda m: (m["file"], m["line"])),
                     "results": {}, "baseline": {}, "postgres": False})
        print(f"overlap: {len(chosen)} mutants written; run them with ./dev mutate --resume")
    return 0


if __name__ == "__main__":
    sys.exit(main())
