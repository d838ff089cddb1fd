#!/usr/bin/env python3
"""The project's mutation run: small faults put into the sources one at a time.

Each mutant is one small change a tired programmer could make (a negated or constant condition,
a comparison off by one, && for ||, a dropped call, two arguments swapped, a constant changed).
The script applies it, rebuilds the tests of the mutated file's folder incrementally in a build
folder of its own, runs those tests, and puts the source back. A mutant is

  killed        a test failed, crashed or ran out of time
  survived      every test passed: either a test is missing or the change cannot be seen
  not compiled  the compiler refused it (not counted in the rates)
  equivalent    listed in scripts/mutate-equivalent.txt with the reason no user could ever see
                the difference (not counted either)

The run is deterministic (the seed picks the same mutants of the same source every time),
resumable (results are kept per mutant and source; an interrupted run goes on where it stopped
and restores a source it left mutated), and usable on one file:

  scripts/mutate.py                          every folder, a sample of each file
  scripts/mutate.py controls/TextBoxCustom.cpp --per-file 0     every mutant of one file
  scripts/mutate.py --report                 the figures so far, without running anything
"""

import argparse
import dataclasses
import fcntl
import hashlib
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FOLDERS = ["engine", "cli", "controls", "runtime", "app"]

# What to build and which tests (CTest labels, one per test folder) cover each folder: its own
# tests and those of the folders above it that use it, the window's among them (with the
# pictures of it the README shows), and for the engine also the files written by earlier builds
# and the generator's reference.
WINDOW = ["app_tests", "tessella-pictures"]
# A program whose tests carry a label must be listed: one never built stands in CTest as a
# placeholder without labels, which a run by label passes over in silence.
CLI = ["cli_tests", "cli_workfile_tests", "filesystem-shim"]
COVERAGE = {
    "engine": (["engine_tests", *CLI, "file_tests", "generator_tests"],
               "^(engine|cli|files|generator)$"),
    "cli": (CLI, "^cli$"),
    "controls": (["controls_tests", *WINDOW], "^(controls|app)$"),
    "runtime": (["runtime_tests", "controls_tests", *WINDOW], "^(runtime|controls|app)$"),
    "app": (WINDOW, "^app$"),
}

# A mutant's tests run with this bound per test: a mutant that makes a test hang is killed by
# it rather than holding the run.
TEST_TIMEOUT = 20
MASKED = " "


@dataclasses.dataclass
class Mutant:
    file: str  # relative to the root
    start: int  # offset of the replaced text in the source
    end: int
    replacement: str
    op: str
    line: int

    @property
    def id(self):
        key = f"{self.file}\0{self.start}\0{self.end}\0{self.op}\0{self.replacement}"
        return f"{self.file}:{self.line}:{self.op}:{hashlib.sha1(key.encode()).hexdigest()[:8]}"


def mask(text):
    """The source with comments, string and character literals and preprocessor lines blanked,
    offsets unchanged, so that the patterns below see only code."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in " \t":
            i += 1
            continue
        if line_start and c == "#":  # a preprocessor line, with its continuations
            while i < n and not (text[i] == "\n" and text[i - 1] != "\\"):
                out[i] = MASKED
                i += 1
            continue
        line_start = c == "\n"
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = MASKED
                i += 1
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            for k in range(i, j):
                if text[k] != "\n":
                    out[k] = MASKED
            i = j
            continue
        if text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            delim = text[i + 2:open_paren]
            j = text.find(")" + delim + '"', open_paren)
            j = n if j < 0 else j + len(delim) + 2
            for k in range(i, j):
                if text[k] != "\n":
                    out[k] = MASKED
            i = j
            continue
        if c in "\"'":
            # A digit separator (1'000) is not a character literal.
            if c == "'" and i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum():
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            for k in range(i + 1, min(j, n)):
                out[k] = MASKED
            i = j + 1
            continue
        i += 1
    return "".join(out)


def matching_paren(masked, open_at):
    depth = 0
    for k in range(open_at, len(masked)):
        if masked[k] == "(":
            depth += 1
        elif masked[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


RELATIONS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
CALL_KEYWORDS = {"return", "if", "while", "for", "switch", "case", "delete", "throw", "else", "do",
                 "goto", "new", "sizeof", "static_assert", "co_return", "using", "typedef"}


def find_mutants(rel_path, text):
    masked = mask(text)
    found = []

    def add(start, end, replacement, op):
        line = text.count("\n", 0, start) + 1
        found.append(Mutant(rel_path, start, end, replacement, op, line))

    # Conditions: negated, always true, always false (a loop's never-true only: an always-true
    # loop is a hang, which the time bound already stands for).
    for m in re.finditer(r"\b(if|while)\s*\(", masked):
        open_at = m.end() - 1
        close_at = matching_paren(masked, open_at)
        if close_at < 0:
            continue
        if masked[open_at + 1:close_at].strip().startswith(("constexpr", "auto ", "const ")):
            continue
        cond = text[open_at + 1:close_at]
        if ";" in masked[open_at + 1:close_at]:  # an if with an initialiser
            continue
        add(open_at + 1, close_at, f"!({cond})", "negate-condition")
        add(open_at + 1, close_at, "false", "condition-false")
        if m.group(1) == "if":
            add(open_at + 1, close_at, "true", "condition-true")

    # Comparisons off by one or turned around; && and || exchanged.
    for m in re.finditer(r"(?<=[\w)\]] )(<=|>=|==|!=|<|>)(?= [\w(!*&\-'\"])", masked):
        add(m.start(), m.end(), RELATIONS[m.group(1)], "relation")
    for m in re.finditer(r"(?<= )(&&|\|\|)(?= )", masked):
        add(m.start(), m.end(), "||" if m.group(1) == "&&" else "&&", "logic")

    # Arithmetic: + and - exchanged.
    for m in re.finditer(r"(?<=[\w)\]] )([+-])(?= [\w(])", masked):
        add(m.start(), m.end(), "-" if m.group(1) == "+" else "+", "arithmetic")

    # Constants: one more, one less.
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.'])", masked):
        value = int(m.group(1))
        add(m.start(), m.end(), str(value + 1), "constant+1")
        if value > 0:
            add(m.start(), m.end(), str(value - 1), "constant-1")
    for m in re.finditer(r"\b(true|false)\b", masked):
        add(m.start(), m.end(), "false" if m.group(1) == "true" else "true", "boolean")

    # A call made as a statement of its own line, dropped.
    offset = 0
    for raw in masked.split("\n"):
        stripped = raw.strip()
        call = re.match(r"([A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*)*)\s*(?:<[^;=]*>)?\(.*\);$",
                        stripped)
        if call and call.group(1).split("::")[0] not in CALL_KEYWORDS and "=" not in stripped.split("(")[0]:
            begin = offset + raw.index(stripped)
            add(begin, begin + len(stripped), ";", "drop-call")
        offset += len(raw) + 1

    # Two plain arguments swapped.
    for m in re.finditer(r"\b[A-Za-z_]\w*\(([\w.>\-]+), ([\w.>\-]+)\)", masked):
        a, b = m.group(1), m.group(2)
        if a != b and "->" not in (a[-2:], b[-2:]):
            a_text = text[m.start(1):m.end(1)]
            b_text = text[m.start(2):m.end(2)]
            add(m.start(1), m.end(2), f"{b_text}, {a_text}", "swap-arguments")

    found.sort(key=lambda mu: (mu.start, mu.op, mu.replacement))
    return found


def sources(args):
    if args.files:
        chosen = []
        for f in args.files:
            path = (ROOT / f).resolve()
            if not path.is_file():
                sys.exit(f"mutate: no such file: {f}")
            rel = path.relative_to(ROOT).as_posix()
            if rel.split("/")[0] not in COVERAGE:
                sys.exit(f"mutate: {f} is not in one of {', '.join(FOLDERS)}")
            chosen.append(rel)
        return chosen
    chosen = []
    for folder in args.folders or FOLDERS:
        for path in sorted((ROOT / folder).rglob("*.cpp")):
            chosen.append(path.relative_to(ROOT).as_posix())
    return chosen


def choose(rel, text, args):
    mutants = find_mutants(rel, text)
    rng = random.Random(f"{args.seed}:{rel}")
    rng.shuffle(mutants)
    if args.per_file > 0:
        mutants = mutants[:args.per_file]
    return sorted(mutants, key=lambda mu: mu.start)


def diff_of(mutant, text):
    line_start = text.rfind("\n", 0, mutant.start) + 1
    line_end = text.find("\n", mutant.end)
    line_end = len(text) if line_end < 0 else line_end
    before = text[line_start:line_end]
    after = text[line_start:mutant.start] + mutant.replacement + text[mutant.end:line_end]
    minus = "\n".join("- " + s for s in before.split("\n"))
    plus = "\n".join("+ " + s for s in after.split("\n"))
    return f"{mutant.file}:{mutant.line}\n{minus}\n{plus}"


class State:
    """Results by mutant and source; written after every mutant, so that a run can stop at any
    point and go on later."""

    def __init__(self, path):
        self.path = path
        self.results = {}
        if path.exists():
            for line in path.read_text().splitlines():
                if line.strip():
                    entry = json.loads(line)
                    self.results[(entry["id"], entry["source"])] = entry

    def get(self, mutant_id, source_hash):
        return self.results.get((mutant_id, source_hash))

    def put(self, entry):
        self.results[(entry["id"], entry["source"])] = entry
        with self.path.open("a") as f:
            f.write(json.dumps(entry) + "\n")


def equivalents():
    listed = {}
    path = ROOT / "scripts" / "mutate-equivalent.txt"
    if path.exists():
        for line in path.read_text().splitlines():
            line = line.strip()
            if line and not line.startswith("#"):
                mutant_id, _, reason = line.partition(" ")
                listed[mutant_id] = reason.strip()
    return listed


class Runner:
    def __init__(self, args):
        self.args = args
        self.build = Path(args.build).resolve()
        self.backup = self.build / "mutating.json"
        self.built_folders = set()

    def log(self, msg):
        print(msg, flush=True)

    def restore_left_over(self):
        if self.backup.exists():
            saved = json.loads(self.backup.read_text())
            (ROOT / saved["file"]).write_text(saved["text"])
            self.backup.unlink()
            self.log(f"mutate: restored {saved['file']}, left mutated by an interrupted run")

    def configure(self):
        self.build.mkdir(parents=True, exist_ok=True)
        if (self.build / "build.ninja").exists():
            return
        generator = ["-G", "Ninja"] if subprocess.run(["sh", "-c", "command -v ninja"],
                                                        capture_output=True).returncode == 0 else []
        # Optimised a little and without debug information: mutants build and run faster.
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(self.build), *generator,
                        "-DCMAKE_BUILD_TYPE=Mutation", "-DCMAKE_CXX_FLAGS_MUTATION=-O1",
                        "-DCMAKE_C_FLAGS_MUTATION=-O1", "-DTESSELLA_WERROR=OFF"],
                       check=True, stdout=subprocess.DEVNULL)

    @staticmethod
    def run_group(command):
        """Runs a command in a process group of its own, and ends the whole group when the run
        is stopped: a test left running would keep a mutant's program busy for nobody."""
        process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   text=True, start_new_session=True)
        try:
            out, _ = process.communicate()
        except BaseException:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
            raise
        return process.returncode == 0, out

    def compile(self, folder):
        targets, _ = COVERAGE[folder]
        return self.run_group(["cmake", "--build", str(self.build), "-j", str(self.args.jobs),
                               "--target", *targets])

    def test(self, folder):
        _, labels = COVERAGE[folder]
        return self.run_group(["ctest", "--test-dir", str(self.build), "-L", labels, "-LE",
                               "^(desktop|idle|package)$", "-j", str(self.args.jobs),
                               "--stop-on-failure", "--timeout", str(TEST_TIMEOUT)])

    def ensure_baseline(self, folder):
        """The unmutated folder must build and pass, or every mutant would look killed."""
        if folder in self.built_folders:
            return
        self.log(f"mutate: building and testing {folder}/ as it stands")
        ok, out = self.compile(folder)
        if not ok:
            sys.exit(f"mutate: {folder}/ does not build as it stands:\n{out[-3000:]}")
        ok, out = self.test(folder)
        if not ok:
            sys.exit(f"mutate: the tests of {folder}/ fail without a mutant:\n{out[-3000:]}")
        self.built_folders.add(folder)

    def run_one(self, mutant, text):
        path = ROOT / mutant.file
        mutated = text[:mutant.start] + mutant.replacement + text[mutant.end:]
        self.backup.write_text(json.dumps({"file": mutant.file, "text": text}))
        path.write_text(mutated)
        folder = mutant.file.split("/")[0]
        started = time.monotonic()
        try:
            ok, _ = self.compile(folder)
            if not ok:
                result = "not compiled"
            else:
                passed, _ = self.test(folder)
                result = "survived" if passed else "killed"
        finally:
            path.write_text(text)
            self.backup.unlink(missing_ok=True)
        return result, time.monotonic() - started


def report(state, chosen_by_file, texts, listed, args):
    """Prints the figures per file and per folder and every survivor; returns the survivors that
    count against --fail-on."""
    rows = {}
    survivors = []
    for rel, mutants in chosen_by_file.items():
        source_hash = hashlib.sha1(texts[rel].encode()).hexdigest()
        counts = rows.setdefault(rel, {"killed": 0, "survived": 0, "not compiled": 0,
                                       "equivalent": 0, "pending": 0})
        for mu in mutants:
            entry = state.get(mu.id, source_hash)
            if entry is None:
                counts["pending"] += 1
            elif entry["result"] == "survived" and mu.id in listed:
                counts["equivalent"] += 1
            else:
                counts[entry["result"]] += 1
                if entry["result"] == "survived":
                    survivors.append((mu, texts[rel]))

    def rate(c):
        judged = c["killed"] + c["survived"]
        return f"{100.0 * c['killed'] / judged:5.1f} %" if judged else "    -  "

    header = f"{'':44} {'killed':>6} {'surv.':>6} {'n.c.':>5} {'equiv.':>6} {'pend.':>5}  rate"
    print("\n" + header)
    folders = {}
    for rel in sorted(rows):
        c = rows[rel]
        total = folders.setdefault(rel.split("/")[0], dict.fromkeys(c, 0))
        for k in c:
            total[k] += c[k]
        if args.per_file_table:
            print(f"{rel:44} {c['killed']:6} {c['survived']:6} {c['not compiled']:5} "
                  f"{c['equivalent']:6} {c['pending']:5}  {rate(c)}")
    if args.per_file_table:
        print()
    for folder in FOLDERS:
        if folder in folders:
            c = folders[folder]
            print(f"{folder + '/':44} {c['killed']:6} {c['survived']:6} {c['not compiled']:5} "
                  f"{c['equivalent']:6} {c['pending']:5}  {rate(c)}")
    if survivors:
        print(f"\n{len(survivors)} survivor(s):")
        for mu, text in survivors:
            print(f"\n[{mu.id}] {mu.op}\n{diff_of(mu, text)}")
    return [mu for mu, _ in survivors if mu.file.split("/")[0] in (args.fail_on or [])]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("files", nargs="*", help="sources to mutate (default: every folder's)")
    parser.add_argument("--folders", nargs="*", choices=FOLDERS, help="only these folders")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--per-file", type=int, default=4,
                        help="mutants drawn from each file; 0 for all (default 4)")
    parser.add_argument("--build", default=str(ROOT / "build-mutate"))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--retest-survivors", action="store_true",
                        help="run the survivors again (after new tests were written)")
    parser.add_argument("--fresh", action="store_true",
                        help="run every chosen mutant, whatever earlier runs found")
    parser.add_argument("--report", action="store_true", help="print the figures; run nothing")
    parser.add_argument("--list", action="store_true", help="list the chosen mutants; run nothing")
    parser.add_argument("--per-file-table", action="store_true", help="a row for every file")
    parser.add_argument("--fail-on", nargs="*", choices=FOLDERS,
                        help="exit 1 when a mutant in these folders survives")
    args = parser.parse_args()

    runner = Runner(args)
    runner.build.mkdir(parents=True, exist_ok=True)
    if not (args.list or args.report):
        # One run at a time per build folder: a second one would build the first one's mutant.
        lock = (runner.build / "mutate.lock").open("w")
        try:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            sys.exit(f"mutate: another run is using {runner.build}")
        runner.restore_left_over()
        # A stopped run puts the source back before it goes.
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    files = sources(args)
    texts = {rel: (ROOT / rel).read_text() for rel in files}
    chosen = {rel: choose(rel, texts[rel], args) for rel in files}
    state = State(runner.build / "mutants.jsonl")
    listed = equivalents()

    if args.list:
        for rel, mutants in chosen.items():
            for mu in mutants:
                print(f"[{mu.id}] {mu.op}\n{diff_of(mu, texts[rel])}\n")
        return 0
    if not args.report:
        runner.configure()
        total = sum(len(m) for m in chosen.values())
        done = 0
        for rel, mutants in chosen.items():
            source_hash = hashlib.sha1(texts[rel].encode()).hexdigest()
            for mu in mutants:
                done += 1
                entry = state.get(mu.id, source_hash)
                if entry is not None and not args.fresh and not (args.retest_survivors and
                                              entry["result"] == "survived"):
                    continue
                runner.ensure_baseline(rel.split("/")[0])
                result, seconds = runner.run_one(mu, texts[rel])
                state.put({"id": mu.id, "source": source_hash, "file": rel, "line": mu.line,
                           "op": mu.op, "result": result, "seconds": round(seconds, 1)})
                shown = "equivalent" if result == "survived" and mu.id in listed else result
                runner.log(f"[{done}/{total}] {shown:12} {mu.id} ({seconds:.0f} s)")
    failing = report(state, chosen, texts, listed, args)
    if failing:
        print(f"\nmutate: {len(failing)} mutant(s) survived in {', '.join(args.fail_on)}/",
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)
