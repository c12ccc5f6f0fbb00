#!/usr/bin/env python3
"""Mutation testing of the show: applies the mutants of tests/mutants.tsv one at a time to a
scratch copy of the tree, rebuilds incrementally and runs the tests that can tell the mutant
apart, stopping at the first failure. See --help and the catalogue's header."""

import argparse
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "mutation"
SCRATCH = WORK / "src"
BUILD = WORK / "build"
LOGS = WORK / "logs"
RESULTS = WORK / "results.json"
BASELINE = WORK / "baseline.json"
REPORT = WORK / "report.txt"
FLAKY = WORK / "flaky.json"

FOLDERS = ["platform", "draw", "state", "demo", "render", "text", "model", "scenes", "metaballs", "shell",
           "render_tool"]
SLOW_LABELS = {"e2e", "storm"}
# The end-to-end cases run for a shell mutant: the program's own cases, not the damaged-data
# ones or the key storm (--e2e all takes every e2e test).
E2E_SAMPLE = re.compile(r"^shell_e2e_(?!damaged_)")
# Files whose changes do not change what the mutants are measured against (nor do *.md).
UNFINGERPRINTED = {"tests/mutants.tsv", "scripts/mutation_test.py", "scripts/mutation-test.sh"}
OUTCOMES = ["killed", "survived", "timed-out", "build-failed", "equivalent", "anchor-missing",
            "anchor-ambiguous"]


def log(text):
    print(text, flush=True)


# ----------------------------------------------------------------------------- the catalogue

class Mutant:
    def __init__(self, line_number, mutant_id, path, anchor, replacement, note):
        self.line = line_number
        self.id = mutant_id
        self.path = path
        self.anchor = anchor
        self.replacement = replacement
        self.note = note
        self.folder = path.split("/", 1)[0]


def unescape(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt in "nt\\":
                out.append({"n": "\n", "t": "\t", "\\": "\\"}[nxt])
                i += 2
                continue
        out.append(c)
        i += 1
    return "".join(out)


def read_catalogue(path):
    mutants = []
    problems = []
    seen = set()
    for number, raw in enumerate(path.read_text().splitlines(), start=1):
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        fields = raw.split("\t")
        if len(fields) not in (4, 5):
            problems.append(f"{path.name}:{number}: expected 4 or 5 tab-separated fields, "
                            f"found {len(fields)}")
            continue
        mutant_id, file_path, anchor, replacement = fields[:4]
        note = fields[4] if len(fields) == 5 else ""
        if mutant_id in seen:
            problems.append(f"{path.name}:{number}: duplicate id {mutant_id}")
            continue
        seen.add(mutant_id)
        anchor = unescape(anchor)
        replacement = unescape(replacement)
        if not anchor:
            problems.append(f"{path.name}:{number}: {mutant_id} has an empty anchor")
            continue
        if anchor == replacement:
            problems.append(f"{path.name}:{number}: {mutant_id} replaces its anchor by itself")
            continue
        mutants.append(Mutant(number, mutant_id, file_path, anchor, replacement, note))
    return mutants, problems


def anchor_state(mutant, tree):
    """'ok', 'anchor-missing' or 'anchor-ambiguous' for the mutant's file under tree."""
    path = tree / mutant.path
    if not path.is_file():
        return "anchor-missing", "no such file"
    count = path.read_text().count(mutant.anchor)
    if count == 0:
        return "anchor-missing", "anchor not found"
    if count > 1:
        return "anchor-ambiguous", f"anchor found {count} times"
    return "ok", ""


# ----------------------------------------------------------------------------- the scratch tree

def tracked_files():
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=ROOT, check=True, capture_output=True).stdout
    return sorted(p for p in out.decode(errors="replace").split("\0")
                  if p and "__pycache__" not in p and (ROOT / p).is_file())


def sync_scratch(files):
    """Copies the tracked files into the scratch tree, touching only those that differ, so the
    build there stays incremental; files no longer tracked are removed."""
    manifest_path = WORK / "manifest.json"
    previous = set(json.loads(manifest_path.read_text())) if manifest_path.exists() else set()
    copied = 0
    for name in files:
        source = ROOT / name
        target = SCRATCH / name
        data = source.read_bytes()
        if not target.exists() or target.read_bytes() != data:
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
            copied += 1
        mode = source.stat().st_mode & 0o777
        if target.stat().st_mode & 0o777 != mode:
            target.chmod(mode)
    for name in previous - set(files):
        (SCRATCH / name).unlink(missing_ok=True)
    manifest_path.write_text(json.dumps(files))
    return copied


def fingerprint(files):
    digest = hashlib.sha1()
    for name in files:
        if name in UNFINGERPRINTED or name.endswith(".md"):
            continue
        digest.update(name.encode() + b"\0")
        digest.update(hashlib.sha1((ROOT / name).read_bytes()).digest())
    return digest.hexdigest()[:16]


# ----------------------------------------------------------------------------- build and tests

def build_env():
    env = dict(os.environ)
    env.setdefault("CCACHE_BASEDIR", str(ROOT.parent if ROOT.parent != Path("/") else ROOT))
    # Tests that use fixed names under the temporary folder must not meet those of another
    # checkout running its tests at the same time.
    temporary = WORK / "tmp"
    temporary.mkdir(parents=True, exist_ok=True)
    env["TMPDIR"] = str(temporary)
    return env


def configure():
    if (BUILD / "CMakeCache.txt").exists():
        return
    generator = ["-G", "Ninja"] if shutil.which("ninja") else []
    launcher = []
    if shutil.which("ccache"):
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
    subprocess.run(["cmake", *generator, "-S", str(SCRATCH), "-B", str(BUILD),
                    "-DCMAKE_BUILD_TYPE=Release", "-DVELLOMIRE_BUILD_BENCH=OFF", *launcher],
                   check=True, env=build_env(), stdout=subprocess.DEVNULL)


def run_limited(command, timeout, log_file, cwd=None):
    """Runs command in its own process group with output appended to log_file; returns
    (exit status or None on time-out, output)."""
    with open(log_file, "a") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        start = out.tell()
        process = subprocess.Popen(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                   env=build_env(), start_new_session=True)
        try:
            status = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            status = None
    with open(log_file, errors="replace") as out:
        out.seek(start)
        return status, out.read()


def build(jobs, timeout, log_file):
    return run_limited(["cmake", "--build", str(BUILD), "-j", str(jobs)], timeout, log_file)


def executables():
    """Every program the build made (ELF files outside CMake's own folders)."""
    found = []
    for directory, subdirs, names in os.walk(BUILD):
        subdirs[:] = [d for d in subdirs if d != "CMakeFiles" and not d.startswith("_deps")]
        for name in names:
            path = Path(directory) / name
            if os.access(path, os.X_OK) and path.is_file() and not name.endswith((".so", ".a")):
                with open(path, "rb") as f:
                    if f.read(4) == b"\x7fELF":
                        found.append(path)
    return sorted(found)


def hash_programs(programs):
    return {str(p): hashlib.sha1(p.read_bytes()).hexdigest() for p in programs}


def test_inventory(programs):
    """name -> {labels, deps}: the labels of every test and the programs it runs, directly or
    through a program that names another one (the render tool's test names vellomire-render)."""
    out = subprocess.run(["ctest", "--test-dir", str(BUILD), "--show-only=json-v1"],
                         check=True, capture_output=True, text=True, env=build_env()).stdout
    data = json.loads(out)
    names = {str(p) for p in programs}
    contains = {}
    for p in programs:
        blob = p.read_bytes()
        contains[str(p)] = {q for q in names if q != str(p) and q.encode() in blob}
    tests = {}
    for test in data["tests"]:
        labels = []
        for prop in test.get("properties", []):
            if prop["name"] == "LABELS":
                labels = prop["value"]
        deps = set()
        for arg in test.get("command", []):
            if arg in names:
                deps.add(arg)
                deps |= contains[arg]
        tests[test["name"]] = {"labels": labels, "deps": sorted(deps)}
    return tests


FAILED_LINE = re.compile(r"^\s*\d+ - (.+?) \(([^)]*)\)\s*$")
PASSED_LINE = re.compile(r"Test\s+#\d+: (\S+) \.+\s+Passed\s+([\d.]+) sec")


def exact(names):
    return "^(" + "|".join(re.escape(n) for n in sorted(names)) + ")$"


def run_ctest(selection, jobs, test_timeout, timeout, log_file, excluded=()):
    """Runs the tests of one selection ('-L', label) or ('-R', regex) but the excluded ones,
    stopping at the first failure. Returns (outcome, first failing test) with outcome 'passed',
    'failed' or 'timed-out', and the durations of the passing tests."""
    command = ["ctest", "--test-dir", str(BUILD), selection[0], selection[1], "--stop-on-failure",
               "--output-on-failure", "-j", str(jobs), "--timeout", str(int(test_timeout)),
               "--no-tests=ignore"]
    if excluded:
        command += ["-E", exact(excluded)]
    status, output = run_limited(command, timeout, log_file)
    durations = {m.group(1): float(m.group(2)) for m in PASSED_LINE.finditer(output)}
    if status is None:
        return "timed-out", "(whole run over its time)", durations
    failures = []
    in_block = False
    for line in output.splitlines():
        if line.startswith("The following tests FAILED"):
            in_block = True
            continue
        if in_block:
            match = FAILED_LINE.match(line)
            if match:
                failures.append((match.group(1), match.group(2)))
            elif line.strip():
                in_block = False
    if not failures and status != 0:
        tail = [line for line in output.splitlines() if line.strip()][-1:] or ["?"]
        return "failed", f"(ctest exit {status}: {tail[0].strip()})", durations
    hard = [f for f in failures if f[1] != "Timeout"]
    if hard:
        return "failed", hard[0][0], durations
    if failures:
        return "timed-out", failures[0][0], durations
    return "passed", "", durations


def run_confirmed(selection, jobs, test_timeout, deadline, log_file, flaky, persist=True):
    """run_ctest, with a failure confirmed by running the failing test once more on its own: a
    test that then passes is flaky (it fails under load or by chance), joins `flaky` (kept in
    FLAKY when persist) and is left out of the selection, which runs again without it."""
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            return "timed-out", "(mutant over its time)", {}
        result, failing, durations = run_ctest(selection, jobs, test_timeout, left, log_file,
                                               flaky)
        if result != "failed" or failing.startswith("("):
            return result, failing, durations
        again, _, _ = run_ctest(("-R", exact([failing])), 1, test_timeout,
                                max(1.0, deadline - time.monotonic()), log_file)
        if again != "passed":
            return result, failing, durations
        log(f"  {failing} failed, then passed on its own: left out as flaky")
        flaky.add(failing)
        if persist:
            save_flaky(flaky)


def stages_for(folder, tests, changed, e2e_mode):
    """The ctest selections that can tell a mutant of `folder` apart: the folder's own label,
    the end-to-end sample for a shell mutant, then every other label in one run so that both
    jobs stay busy. A test is wanted only when a program it runs has changed."""
    wanted_labels = set()
    e2e_names = []
    for name, test in tests.items():
        if changed is not None and not set(test["deps"]) & changed:
            continue
        labels = test["labels"]
        if SLOW_LABELS & set(labels):
            if folder == "shell" and "e2e" in labels and (e2e_mode == "all" or
                                                          E2E_SAMPLE.search(name)):
                e2e_names.append(name)
            continue
        wanted_labels |= set(labels)
    stages = []
    if folder in wanted_labels:
        stages.append(("-L", f"^{re.escape(folder)}$"))
        wanted_labels.discard(folder)
    if e2e_names:
        stages.append(("-R", exact(e2e_names)))
    if wanted_labels:
        stages.append(("-L", exact(wanted_labels)))
    return stages


# ----------------------------------------------------------------------------- results

def load_flaky():
    return set(json.loads(FLAKY.read_text())) if FLAKY.exists() else set()


def save_flaky(flaky):
    FLAKY.write_text(json.dumps(sorted(flaky), indent=1))


def load_results():
    return json.loads(RESULTS.read_text()) if RESULTS.exists() else {}


def save_results(results):
    temporary = RESULTS.with_suffix(".tmp")
    temporary.write_text(json.dumps(results, indent=1, sort_keys=True))
    temporary.replace(RESULTS)


def summary_lines(mutants, results, tree):
    rows = {}
    older = 0
    missing = 0
    for m in mutants:
        r = results.get(m.id)
        if r is None:
            missing += 1
            continue
        if r.get("tree") != tree:
            older += 1
        counts = rows.setdefault(m.folder, dict.fromkeys(OUTCOMES, 0))
        counts[r["outcome"]] += 1
    widths = [len(o) + 2 for o in OUTCOMES]

    def row(name, values, last):
        return f"{name:<12}" + "".join(f"{v:>{w}}" for v, w in zip(values, widths)) + f"{last:>8}"

    lines = [row("folder", OUTCOMES, "score")]
    total = dict.fromkeys(OUTCOMES, 0)

    def score(c):
        judged = c["killed"] + c["survived"] + c["timed-out"]
        return f"{100.0 * (c['killed'] + c['timed-out']) / judged:.1f}%" if judged else "-"

    for folder in FOLDERS + sorted(set(rows) - set(FOLDERS)):
        if folder not in rows:
            continue
        c = rows[folder]
        for o in OUTCOMES:
            total[o] += c[o]
        lines.append(row(folder, [c[o] for o in OUTCOMES], score(c)))
    lines.append(row("total", [total[o] for o in OUTCOMES], score(total)))
    lines.append("score = (killed + timed-out) / (killed + survived + timed-out)")
    if missing:
        lines.append(f"{missing} mutants of the selection have no result yet")
    if older:
        lines.append(f"{older} results come from an earlier state of the tree (rerun them)")
    flaky = load_flaky()
    if flaky:
        lines.append(f"left out as flaky ({FLAKY.name}; delete it to try them again): " +
                     ", ".join(sorted(flaky)))
    survivors = [m for m in mutants if results.get(m.id, {}).get("outcome") == "survived"]
    if survivors:
        lines.append("survived:")
        lines += [f"  {m.id:<34} {m.path}  {m.note}" for m in survivors]
    return lines


def result_line(m, r):
    detail = r.get("killer") or r.get("detail") or ""
    times = f"build {r.get('build_s', 0):5.1f}s  tests {r.get('test_s', 0):6.1f}s"
    return f"{m.id:<34} {m.folder:<12} {r['outcome']:<16} {times}  {detail}"


def run_mutant(m, args, tests, programs, baseline_hashes, test_timeout, mutant_timeout, flaky):
    """Applies one mutant to the scratch tree, builds, puts the file back and runs the tests
    whose programs changed. Returns its record."""
    log_file = LOGS / f"{m.id}.log"
    log_file.write_text(f"{m.id}: {m.path}\n--- anchor\n{m.anchor}\n+++ replacement\n"
                        f"{m.replacement}\n")
    record = {"folder": m.folder}
    state, detail = anchor_state(m, SCRATCH)
    if state != "ok":
        record.update(outcome=state, detail=detail)
        return record
    path = SCRATCH / m.path
    original = path.read_text()
    try:
        path.write_text(original.replace(m.anchor, m.replacement, 1))
        start = time.monotonic()
        status, output = build(args.jobs, args.build_timeout, log_file)
        record["build_s"] = round(time.monotonic() - start, 1)
    finally:
        path.write_text(original)  # newer than the mutant's objects: the next build redoes it
    if status != 0:
        errors = [line for line in output.splitlines() if "error" in line]
        record.update(outcome="build-failed",
                      detail=errors[0].strip() if errors else "build timed out")
        return record
    now = hash_programs(programs)
    changed = {p for p, h in now.items() if baseline_hashes.get(p) != h}
    if not changed:
        record.update(outcome="equivalent", detail="no program changed")
        return record
    start = time.monotonic()
    outcome, killer = "survived", ""
    for stage in stages_for(m.folder, tests, changed, args.e2e):
        result, failing, _ = run_confirmed(stage, args.jobs, test_timeout, start + mutant_timeout,
                                           log_file, flaky)
        if result != "passed":
            outcome = "killed" if result == "failed" else "timed-out"
            killer = failing
            break
    # The flaky tests the stages left out, on their own where the load is lighter.
    solo = {n for n in flaky if n in tests and set(tests[n]["deps"]) & changed and
            (m.folder == "shell" or not SLOW_LABELS & set(tests[n]["labels"]))}
    if outcome == "survived" and solo:
        result, failing, _ = run_confirmed(("-R", exact(solo)), 1, test_timeout,
                                           start + mutant_timeout, log_file, set(), False)
        if result != "passed":
            outcome = "killed" if result == "failed" else "timed-out"
            killer = failing
    record.update(outcome=outcome, killer=killer, test_s=round(time.monotonic() - start, 1))
    return record


# ----------------------------------------------------------------------------- main

def select(mutants, args):
    chosen = mutants
    if args.folder:
        chosen = [m for m in chosen if m.folder in args.folder]
    if args.ids:
        wanted = {i for group in args.ids for i in group.split(",") if i}
        unknown = wanted - {m.id for m in mutants}
        if unknown:
            sys.exit("unknown mutant ids: " + ", ".join(sorted(unknown)))
        chosen = [m for m in chosen if m.id in wanted]
    return chosen


def list_catalogue(mutants, problems):
    bad = 0
    per_folder = {}
    for m in mutants:
        state, detail = anchor_state(m, ROOT)
        per_folder[m.folder] = per_folder.get(m.folder, 0) + 1
        if state != "ok":
            bad += 1
        log(f"{m.id:<34} {m.path:<34} {state if state != 'ok' else 'ok':<17} "
            f"{detail or m.note}")
    for p in problems:
        log("catalogue: " + p)
    log("per folder: " + ", ".join(f"{f} {per_folder.get(f, 0)}" for f in FOLDERS))
    others = sorted(set(per_folder) - set(FOLDERS))
    if others:
        log("outside the source folders: " + ", ".join(others))
    log(f"{len(mutants)} mutants, {bad} with an anchor problem, {len(problems)} catalogue errors")
    return 1 if bad or problems else 0


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quiet when piped into head
    parser = argparse.ArgumentParser(
        description="Applies the catalogue's mutants one at a time to a scratch copy of the tree "
                    "(build/mutation/src), rebuilds it incrementally and runs the tests that can "
                    "tell each mutant apart, stopping at the first failure.")
    parser.add_argument("--list", action="store_true",
                        help="check every anchor of the catalogue against the tree; run nothing")
    parser.add_argument("--report", action="store_true",
                        help="print the table of the stored results; run nothing")
    parser.add_argument("--folder", action="append", choices=FOLDERS,
                        help="only the mutants of this source folder (repeatable)")
    parser.add_argument("--ids", action="append", help="only these mutants (comma-separated)")
    parser.add_argument("--resume", action="store_true",
                        help="skip mutants with a result for the current state of the tree")
    parser.add_argument("--jobs", type=int, default=2, help="build and ctest jobs (2)")
    parser.add_argument("--timeout", type=float, default=0,
                        help="seconds for one mutant's tests (default: 3 x the baseline + 120)")
    parser.add_argument("--build-timeout", type=float, default=900)
    parser.add_argument("--e2e", choices=["sample", "all"], default="sample",
                        help="end-to-end tests run for shell mutants (sample)")
    parser.add_argument("--catalogue", type=Path, default=ROOT / "tests" / "mutants.tsv")
    args = parser.parse_args()

    mutants, problems = read_catalogue(args.catalogue)
    if args.list:
        return list_catalogue(mutants, problems)
    for p in problems:
        log("catalogue: " + p)
    chosen = select(mutants, args)
    files = tracked_files()
    tree = fingerprint(files)
    if args.report:
        lines = summary_lines(chosen, load_results(), tree)
        log("\n".join(lines))
        return 0

    WORK.mkdir(parents=True, exist_ok=True)
    LOGS.mkdir(exist_ok=True)
    results = load_results()
    if args.resume:
        todo = [m for m in chosen if results.get(m.id, {}).get("tree") != tree]
        log(f"resuming: {len(chosen) - len(todo)} of {len(chosen)} already done for this tree")
        chosen = todo
    if not chosen:
        log("\n".join(summary_lines(select(mutants, args), results, tree)))
        return 0

    copied = sync_scratch(files)
    log(f"scratch tree {SCRATCH} ({copied} files refreshed), tree {tree}")
    configure()
    start = time.monotonic()
    setup_log = LOGS / "_baseline.log"
    setup_log.write_text("")
    status, _ = build(args.jobs, 3 * args.build_timeout, setup_log)
    if status != 0:
        sys.exit(f"the unmutated tree does not build: see {setup_log}")
    log(f"unmutated build: {time.monotonic() - start:.1f}s")
    programs = executables()
    baseline_hashes = hash_programs(programs)
    tests = test_inventory(programs)

    # The unmutated tree must pass what the mutants will run; its times set the time-outs.
    flaky = load_flaky()
    baseline = json.loads(BASELINE.read_text()) if BASELINE.exists() else {}
    want_e2e = any(m.folder == "shell" for m in chosen)
    if baseline.get("tree") != tree or (want_e2e and not baseline.get("e2e")):
        log("running the unmutated suite once (its times set the time-outs) ...")
        start = time.monotonic()
        durations = {}
        for stage in stages_for("shell" if want_e2e else "", tests, None, args.e2e):
            outcome, failing, times = run_confirmed(stage, args.jobs, 600, time.monotonic() + 3600,
                                                    setup_log, flaky)
            durations.update(times)
            if outcome != "passed":
                sys.exit(f"the unmutated tree fails {failing} ({outcome}); see {setup_log}")
        baseline = {"tree": tree, "e2e": want_e2e, "seconds": time.monotonic() - start,
                    "durations": durations}
        BASELINE.write_text(json.dumps(baseline, indent=1))
        log(f"unmutated suite passed in {baseline['seconds']:.1f}s")
    slowest = max(baseline["durations"].values(), default=10.0)
    test_timeout = max(60.0, 4 * slowest + 30)
    mutant_timeout = args.timeout or 3 * baseline["seconds"] + 120

    loop_start = time.monotonic()
    for m in chosen:
        record = run_mutant(m, args, tests, programs, baseline_hashes, test_timeout,
                            mutant_timeout, flaky)
        record["tree"] = tree
        results[m.id] = record
        save_results(results)
        log(result_line(m, record))

    spent = time.monotonic() - loop_start
    log(f"{len(chosen)} mutants in {spent / 60:.1f} min ({spent / len(chosen):.1f} s each)")
    lines = summary_lines(select(mutants, args), results, tree)
    REPORT.write_text("\n".join(lines) + "\n")
    log("\n".join(lines))
    log(f"report: {REPORT}; per-mutant logs: {LOGS}/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
