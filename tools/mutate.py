#!/usr/bin/env python3
"""Mutation testing: make small faults in the C++ sources one at a time, rebuild what
depends on them in their own build folder, run the tests that cover them, and record
which faults the tests notice.

    tools/mutate.py [PATHS...] [--sample N] [--seed S] [--resume] [--timeout SECONDS]
                    [--postgres] [--survivors]

A mutant is killed when a test fails, survived when every test passes, timed out when
the tests outrun the limit (counted as noticed), and build failed when it does not
compile (not counted). The state file keeps every result, so a run stopped by Ctrl-C
or a crash goes on where it left off with --resume; the source is restored first.
"""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build-mutate")
STATE = os.path.join(BUILD, "mutate-state.json")
BACKUP = os.path.join(BUILD, "mutate-backup")
REPORT = os.path.join(BUILD, "mutate-report.md")

# Source folder -> the test programs that exercise it (longest prefix wins).
# A folder missing here runs every test program.
COVERS = {
    "src/qorOrvaneUI/dispatch": ["dispatch_tests", "linking_tests", "hostile_tests"],
    "src/qorOrvaneUI/authorization": ["authorization_tests"],
    "src/qorOrvaneUI/loss": ["loss_tests", "hostile_tests"],
    "src/qorOrvaneUI/core": ["core_tests", "hostile_tests", "transport_tests"],
    "src/storage": ["storage_tests", "transport_tests"],
    "src/transport": ["transport_tests"],
    "src/runtime": ["runtime_tests", "report_tests", "transport_tests"],
    "src/host": ["host_tests"],
    "apps": ["cli_tests", "demo_tests"],
}

# Literals and comments are blanked before a line is searched, so no mutant lands in one.
SKIP = re.compile(r'R"([^(\s]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|'
                  r'//[^\n]*|/\*.*?\*/', re.S)
# Binary operators are spaced by the formatter; template brackets and << are not matched.
SWAPS = [(" == ", " != "), (" != ", " == "), (" < ", " <= "), (" <= ", " < "),
         (" > ", " >= "), (" >= ", " > "), (" && ", " || "), (" || ", " && ")]
WORDS = [(r"\btrue\b", "false"), (r"\bfalse\b", "true")]
NOT = re.compile(r"(?<![\w)\]])!(?=[\w(])")
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
IF_LINE = re.compile(r"^(\s*(?:\} else )?if )\((.*)\)( \{)$")
STATEMENT = re.compile(r"^\s+[\w:*>().\[\]-]+(?:\(.*\)|\s*[-+*/|&]?= .*|\+\+|--);$")
PROGRESS = re.compile(r"\bp\.at\(")
SIGNATURE = re.compile(r"^(?:static )?(?:inline )?(void|bool) [\w:~]+\(")


def blank(text):
    return SKIP.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def mutants_of(path):
    """Every mutant of one file: (line number, kind, old line, new line), in order."""
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.read().split("\n")
    plain = blank("\n".join(lines)).split("\n")
    found = []

    def at(i, start, end, new, kind):
        line = lines[i]
        found.append((i + 1, kind, line, line[:start] + new + line[end:]))

    for i, code in enumerate(plain):
        if not code.strip() or code.lstrip().startswith("#"):
            continue
        for old, new in SWAPS:
            for m in re.finditer(re.escape(old), code):
                at(i, m.start(), m.end(), new, "operator")
        for pattern, new in WORDS:
            for m in re.finditer(pattern, code):
                at(i, m.start(), m.end(), new, "boolean")
        for m in NOT.finditer(code):
            at(i, m.start(), m.end(), "", "negation")
        # Array bounds and labels rarely build; the progress markers (p.at(N)) only
        # name the step an error report gives, so they are left alone here and below.
        if "case " not in code and "[" not in code and not PROGRESS.search(code):
            for m in INTEGER.finditer(code):
                n = int(m.group(1))
                at(i, m.start(), m.end(), str(n - 1 if n else 1), "constant")
        m = IF_LINE.match(code)
        if m and code.count("(") == code.count(")"):
            cond = lines[i][m.end(1) + 1:m.start(3) - 1]
            found.append((i + 1, "branches", lines[i],
                          lines[i][:m.end(1)] + "(!(" + cond + "))" + lines[i][m.start(3):]))
        prev = plain[i - 1].rstrip() if i else ""
        if STATEMENT.match(code) and not code.lstrip().startswith("return") and \
                not PROGRESS.search(code) and \
                (prev.endswith((";", "{", "}")) or not prev.strip()):
            found.append((i + 1, "statement", lines[i], re.match(r"\s*", lines[i]).group(0) + ";"))
        if code == "{" and i:
            j = i - 1
            while j > 0 and plain[j][:1].isspace():
                j -= 1
            sig = SIGNATURE.match(plain[j])
            if sig:
                value = {"void": "", "bool": " false"}[sig.group(1)]
                found.append((i + 1, "return", lines[i], "{ return" + value + ";"))
    return found


def sources(paths):
    listed = subprocess.run(["git", "ls-files", "-z", "--", *paths], cwd=ROOT, check=True,
                            capture_output=True, text=True).stdout.split("\0")
    return sorted(p for p in listed if p.endswith(".cpp"))


def mutant_id(path, number, kind, new):
    digest = hashlib.sha1(f"{path}:{number}:{kind}:{new}".encode()).hexdigest()[:10]
    return f"{path}:{number}:{digest}"


def mutant(path, number, kind, old, new):
    """One mutant as the state file keeps it."""
    return {"id": mutant_id(path, number, kind, new), "file": path, "line": number,
            "kind": kind, "old": old, "new": new}


def choose(paths, sample, seed):
    every = []
    for path in sources(paths):
        for number, kind, old, new in mutants_of(path):
            every.append(mutant(path, number, kind, old, new))
    if sample and sample < len(every):
        every = sorted(random.Random(seed).sample(every, sample),
                       key=lambda m: (m["file"], m["line"]))
    return every


def programs_for(path):
    best = max((p for p in COVERS if path.startswith(p + "/")), key=len, default=None)
    if best:
        return COVERS[best]
    return sorted({n for folder in os.listdir(os.path.join(ROOT, "tests"))
                   for n in re.findall(r"(?:orvane_test_exe|add_executable)\((\w+_tests)\b",
                                       read(os.path.join(ROOT, "tests", folder,
                                                         "CMakeLists.txt")))})


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError:
        return ""


def program_path(name):
    return os.path.join(BUILD, "tests", name.rsplit("_tests", 1)[0], name)


def configure():
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                        # The main build's flags, so ccache serves the first build.
                        "-DORVANE_WERROR=ON", "-DORVANE_BUILD_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)


def build(programs, log):
    return subprocess.run(["cmake", "--build", BUILD, "--target", *programs], stdout=log,
                          stderr=subprocess.STDOUT).returncode == 0


def run_tests(programs, limit, log):
    """('killed' | 'survived' | 'timed out', the tests that failed). Each program runs in
    its own process group so a hung one is ended with everything it started; every
    program runs, so the failing tests name every killer (the evidence for pruning)."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    deadline = time.monotonic() + limit
    failed = []
    for name in programs:
        out = os.path.join(BUILD, "mutate-test.out")
        with open(out, "w+", encoding="utf-8", errors="replace") as f:
            proc = subprocess.Popen([program_path(name), "--gtest_brief=1"], cwd=BUILD,
                                    env=env, stdout=f, stderr=subprocess.STDOUT,
                                    start_new_session=True)
            try:
                code = proc.wait(timeout=max(1.0, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                return "timed out", failed
            f.seek(0)
            text = f.read()
        log.write(text)
        if code != 0:
            failed += sorted(set(re.findall(r"^\[  FAILED  \] ([\w/.]+)", text, re.M))) or [name]
    return ("killed" if failed else "survived"), failed


def start_postgres():
    """Starts the tests' throw-away PostgreSQL server where the transport fixture looks for
    it, so that the PostgreSQL cases run too; gives the folder to stop it with."""
    folder = os.path.join(BUILD, "tests", "transport", "pg-server")
    script = os.path.join(ROOT, "tests", "support", "pg-test-server.sh")
    subprocess.run([script, "start", folder], check=True, stdout=subprocess.DEVNULL)
    if not os.path.exists(os.path.join(folder, "connection.txt")):
        sys.exit("mutate: the PostgreSQL test server did not start: " +
                 read(os.path.join(folder, "error.txt")).strip())
    # A case that cannot reach the server fails rather than skips.
    os.environ["ORVANE_REQUIRE_PG"] = "1"
    return script, folder


def restore_backups(quiet=True):
    """Puts back any file a stopped run left mutated."""
    for base, _, names in os.walk(BACKUP):
        for name in names:
            saved = os.path.join(base, name)
            target = os.path.join(ROOT, os.path.relpath(saved, BACKUP))
            shutil.copyfile(saved, target)
            os.remove(saved)
            if not quiet:
                print(f"mutate: restored {os.path.relpath(target, ROOT)}")


def apply(mutant):
    path = os.path.join(ROOT, mutant["file"])
    saved = os.path.join(BACKUP, mutant["file"])
    os.makedirs(os.path.dirname(saved), exist_ok=True)
    shutil.copyfile(path, saved)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines[mutant["line"] - 1] != mutant["old"]:
        os.remove(saved)
        return False
    lines[mutant["line"] - 1] = mutant["new"]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    return True


def save(state):
    tmp = STATE + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        json.dump(state, f, indent=1)
    os.replace(tmp, STATE)


def report(state):
    rows, survivors = {}, []
    for m in state["mutants"]:
        result = state["results"].get(m["id"])
        if result is None:
            continue
        row = rows.setdefault(m["file"], {"killed": 0, "survived": 0, "timed out": 0,
                                          "build failed": 0, "changed": 0})
        row[result] += 1
        if result == "survived":
            survivors.append(m)
    out = ["# Mutation report", "",
           f"`{state['command']}`, seed {state['seed']}: {len(state['results'])} of "
           f"{len(state['mutants'])} mutants run.", "",
           "| file | killed | survived | timed out | build failed | score |", "|---|---|---|---|---|---|"]
    total = {"killed": 0, "survived": 0, "timed out": 0, "build failed": 0}
    for path, row in sorted(rows.items()):
        for k in total:
            total[k] += row[k]
        out.append(f"| {path} | {row['killed']} | {row['survived']} | {row['timed out']} | "
                   f"{row['build failed']} | {score(row)} |")
    out.append(f"| **all** | {total['killed']} | {total['survived']} | {total['timed out']} | "
               f"{total['build failed']} | {score(total)} |")
    # A test that alone kills some mutant stays; the others are candidates for folding.
    killers = [k for m in state["mutants"] for k in [state.get("killers", {}).get(m["id"])] if k]
    alone = sorted({k[0] for k in killers if len(k) == 1})
    out += ["", "## Tests that alone kill a mutant", ""] + [f"- {t}" for t in alone or ["none"]]
    out += ["", "## Survivors", ""]
    out += [f"- {m['file']}:{m['line']} ({m['kind']}): `{m['old'].strip()}` -> "
            f"`{m['new'].strip()}`" for m in survivors] or ["none"]
    with open(REPORT, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")
    print("\n".join(out[4:4 + len(rows) + 3]))
    print(f"mutate: report in {os.path.relpath(REPORT, ROOT)}")


def score(row):
    counted = row["killed"] + row["survived"] + row["timed out"]
    if not counted:
        return "-"
    return f"{100 * (row['killed'] + row['timed out']) / counted:.0f}%"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("paths", nargs="*", default=["src"])
    ap.add_argument("--sample", type=int, default=0, help="this many mutants (0: all)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--resume", action="store_true", help="go on with the last run")
    ap.add_argument("--timeout", type=float, default=0,
                    help="seconds a mutant's tests may take (default: 4x the clean run + 10)")
    ap.add_argument("--survivors", action="store_true",
                    help="with --resume: run the mutants that survived again (after new tests)")
    ap.add_argument("--postgres", action="store_true",
                    help="run the PostgreSQL cases too, on a throw-away server (slower)")
    args = ap.parse_args()

    def stop(signum, _frame):
        raise KeyboardInterrupt(signum)

    signal.signal(signal.SIGTERM, stop)
    os.makedirs(BUILD, exist_ok=True)
    restore_backups(quiet=False)
    if args.resume:
        with open(STATE, encoding="utf-8") as f:
            state = json.load(f)
        if args.survivors:
            state["results"] = {k: v for k, v in state["results"].items() if v != "survived"}
    else:
        state = {"command": " ".join(["./dev mutate", *sys.argv[1:]]), "seed": args.seed,
                 "mutants": choose(args.paths, args.sample, args.seed), "results": {},
                 "baseline": {}, "postgres": args.postgres}
        save(state)
    configure()
    server = start_postgres() if state.get("postgres") else None
    log = open(os.path.join(BUILD, "mutate.log"), "a", encoding="utf-8")
    todo = [m for m in state["mutants"] if m["id"] not in state["results"]]
    print(f"mutate: {len(todo)} of {len(state['mutants'])} mutants to run")
    try:
        for n, m in enumerate(todo, 1):
            programs = programs_for(m["file"])
            key = " ".join(programs)
            if key not in state["baseline"]:
                # The tests must pass on the clean source, or every mutant looks killed.
                if not build(programs, log):
                    sys.exit(f"mutate: the clean build of {key} fails (see build-mutate/mutate.log)")
                began = time.monotonic()
                if run_tests(programs, 3600, log)[0] != "survived":
                    sys.exit(f"mutate: {key} fail on the clean source (see build-mutate/mutate.log)")
                state["baseline"][key] = time.monotonic() - began
                save(state)
            limit = args.timeout or 4 * state["baseline"][key] + 10
            log.write(f"\n=== {m['id']} {m['kind']}: {m['new'].strip()}\n")
            log.flush()
            try:
                if not apply(m):
                    result = "changed"  # the source moved on since the sample was drawn
                elif not build(programs, log):
                    result = "build failed"
                else:
                    result, killers = run_tests(programs, limit, log)
                    state.setdefault("killers", {})[m["id"]] = killers
            finally:
                restore_backups()
            state["results"][m["id"]] = result
            save(state)
            print(f"[{n}/{len(todo)}] {result:12} {m['file']}:{m['line']} {m['kind']}: "
                  f"{m['new'].strip()[:70]}", flush=True)
    except KeyboardInterrupt:
        print("mutate: stopped; ./dev mutate --resume goes on", file=sys.stderr)
        report(state)
        return 130
    finally:
        if server:
            subprocess.run([server[0], "stop", server[1]], stdout=subprocess.DEVNULL)
    report(state)
    return 0


if __name__ == "__main__":
    sys.exit(main())
