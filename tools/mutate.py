#!/usr/bin/env python3
"""Mutation testing of Varenko's C++ sources: how many single-change slips do the tests catch?

Makes one-change mutants of the given source files, builds the test programs for each mutant in a
scratch copy of the working tree (never in the tree itself), runs them with a time limit, restores
the file and prints, per file, how many mutants the tests killed and which ones survived.

    tools/mutate.py --files 'renderer/sim/*.cpp' --sample 120 --seed 7
    tools/mutate.py --files renderer/sim/bursts.cpp --list

A development tool: not part of the test command or CI. Python 3 standard library only.
"""

import argparse
import dataclasses
import fnmatch
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

SOURCE_SUFFIXES = (".cpp", ".h", ".cc", ".hpp")


@dataclasses.dataclass
class Mutant:
    path: str  # relative to the repository root
    line: int  # 1-based
    op: str
    before: str  # the whole original line
    after: str  # the whole mutated line, or the two swapped lines
    span: int = 1  # lines replaced (2 for a swap of adjacent statements)
    status: str = ""  # killed, survived, build-failure, timeout
    detail: str = ""

    def change(self):
        if self.span == 2:
            return "swap with next line: " + self.before.splitlines()[0].strip()
        return f"{self.before.strip()}  ->  {self.after.strip()}"


# ---------------------------------------------------------------------------------------------
# Finding what is code on each line
# ---------------------------------------------------------------------------------------------


def code_masks(text):
    """Per line, a string of the same length where comment characters are blanked and string or
    character literal contents are replaced by 's' (the quotes stay), so that operators look only
    at code. Also returns, per line, the (start, end) columns of each string literal."""
    masks, strings = [], []
    state = "code"  # code, line, block, str, chr, raw
    raw_end = ""
    for line in text.split("\n"):
        out = []
        spans = []
        i = 0
        n = len(line)
        start = 0
        if state == "line":
            state = "code"
        while i < n:
            c = line[i]
            nxt = line[i + 1] if i + 1 < n else ""
            if state == "code":
                if c == "/" and nxt == "/":
                    out.append(" " * (n - i))
                    i = n
                    continue
                if c == "/" and nxt == "*":
                    state = "block"
                    out.append("  ")
                    i += 2
                    continue
                m = re.match(r'(?:u8|u|U|L)?R"([^(\s]*)\(', line[i:])
                if m and (i == 0 or not (line[i - 1].isalnum() or line[i - 1] == "_")):
                    state = "raw"
                    raw_end = ")" + m.group(1) + '"'
                    out.append("s" * len(m.group(0)))
                    i += len(m.group(0))
                    continue
                if c == '"':
                    state = "str"
                    start = i
                    out.append('"')
                    i += 1
                    continue
                if c == "'" and not (i > 0 and line[i - 1].isalnum()):  # not a digit separator
                    state = "chr"
                    out.append("'")
                    i += 1
                    continue
                out.append(c)
                i += 1
            elif state == "block":
                if c == "*" and nxt == "/":
                    state = "code"
                    out.append("  ")
                    i += 2
                else:
                    out.append(" ")
                    i += 1
            elif state in ("str", "chr"):
                quote = '"' if state == "str" else "'"
                if c == "\\":
                    out.append("ss"[: min(2, n - i)])
                    i += 2
                elif c == quote:
                    if state == "str":
                        spans.append((start, i + 1))
                    state = "code"
                    out.append(quote)
                    i += 1
                else:
                    out.append("s")
                    i += 1
            elif state == "raw":
                if line.startswith(raw_end, i):
                    state = "code"
                    out.append("s" * len(raw_end))
                    i += len(raw_end)
                else:
                    out.append("s")
                    i += 1
        if state in ("str", "chr"):  # unterminated literal: a continuation we do not follow
            state = "code"
        masks.append("".join(out)[:n].ljust(n))
        strings.append(spans)
    return masks, strings


def skip_line(mask):
    s = mask.strip()
    return (
        not s
        or s.startswith("#")
        or "static_assert" in s
        or s.startswith("extern \"")
        or s.startswith("using ")
        or s.startswith("namespace ")
    )


# ---------------------------------------------------------------------------------------------
# Operators
# ---------------------------------------------------------------------------------------------

NUMBER = re.compile(
    r"(?<![\w.])(0[xX][0-9a-fA-F']+|(?:\d[\d']*\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)([fFuUlL]*)(?![\w.])"
)
RELATIONAL = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ",
              " != ": " == ", " && ": " || ", " || ": " && "}
ARITHMETIC = {" + ": " - ", " - ": " + ", " * ": " / ", " / ": " * ", " += ": " -= ",
              " -= ": " += ", " *= ": " /= ", " /= ": " *= ", " % ": " * "}
UNARY_MINUS = re.compile(r"(?:(?<=[(,\[{!])|(?<=[(,=\[{?:] )|(?<=return ))-(?=[\w.(])")
DRAW = re.compile(r"\b(?:rand\(\)|U\(|Q\()")
STATEMENT = re.compile(r"^\s*(?:[\w.\[\]>:-]+(?:\s*(?:=|\+=|-=|\*=|/=|\|=|&=|\^=)\s|\+\+|--|\()|\+\+|--)")


def format_number(value, is_float, original):
    if not is_float:
        return str(value)
    text = repr(round(value, 6))
    if "e" not in text and "." not in text:
        text += ".0"
    if text.endswith(".0") and original.endswith("."):
        text = text[:-1]
    return text


def number_mutants(text, suffix):
    """The nudges of one numeric literal: integers 0 -> 1, 1 -> 0, n -> n + 1; floats 0 -> 1,
    1 -> 0 and x -> 1.1 x."""
    body = text.replace("'", "")
    if body[:2] in ("0x", "0X"):
        return [hex(int(body, 16) + 1) + suffix]
    is_float = any(ch in body for ch in ".eE") or "f" in suffix.lower()
    value = float(body) if is_float else int(body)
    out = []
    if value == 0:
        out.append(format_number(1, is_float, body))
    elif value == 1:
        out.append(format_number(0, is_float, body))
    if is_float and value != 0:
        out.append(format_number(value * 1.1, True, body))
    elif not is_float and value != 0:
        out.append(format_number(value + 1, False, body))
    return [o + suffix for o in out if o != body]


def balanced_call_end(mask, open_paren):
    depth = 0
    for j in range(open_paren, len(mask)):
        if mask[j] == "(":
            depth += 1
        elif mask[j] == ")":
            depth -= 1
            if depth == 0:
                return j + 1
    return -1


def line_mutants(path, lineno, line, mask, string_spans):
    """Single-line mutants of one line."""
    found = []

    def add(op, start, end, replacement):
        after = line[:start] + replacement + line[end:]
        if after != line:
            found.append(Mutant(path, lineno, op, line, after))

    for m in NUMBER.finditer(mask):
        for repl in number_mutants(m.group(1), m.group(2)):
            add("number", m.start(), m.end(), repl)
    for old, new in RELATIONAL.items():
        for m in re.finditer(re.escape(old), mask):
            add("relational", m.start(), m.end(), new)
    for old, new in ARITHMETIC.items():
        for m in re.finditer(re.escape(old), mask):
            add("arithmetic", m.start(), m.end(), new)
    for m in UNARY_MINUS.finditer(mask):
        add("sign", m.start(), m.end(), "")
    for m in re.finditer(r"\b(true|false)\b", mask):
        add("boolean", m.start(), m.end(), "false" if m.group(1) == "true" else "true")
    for start, end in string_spans:
        literal = line[start:end]
        add("string", start, end, '"~"' if literal == '""' else literal[:-1] + '~"')
    # Two random draws of one expression taken in the other order.
    calls = []
    for m in DRAW.finditer(mask):
        end = balanced_call_end(mask, m.end() - 1)
        if end > 0:
            calls.append((m.start(), end))
    for (a0, a1), (b0, b1) in zip(calls, calls[1:]):
        if a1 <= b0 and line[a0:a1] != line[b0:b1]:
            swapped = line[:a0] + line[b0:b1] + line[a1:b0] + line[a0:a1] + line[b1:]
            found.append(Mutant(path, lineno, "draw-order", line, swapped))
    return found


def is_complete(mask):
    """A whole statement on one line (not a return or a jump)."""
    s = mask.rstrip()
    return (
        s.endswith(";")
        and s.count("(") == s.count(")")
        and not re.match(r"\s*(?:return|break|continue|case|default|goto|for|if|while)\b", s)
    )


def is_statement(mask):
    """An expression statement: an assignment or a call, not a declaration."""
    return is_complete(mask) and STATEMENT.match(mask)


def file_mutants(root, path):
    with open(os.path.join(root, path), encoding="utf-8") as f:
        text = f.read()
    lines = text.split("\n")
    masks, strings = code_masks(text)
    found = []
    prev_end = True  # the line before ended a statement or opened/closed a block
    for i, (line, mask) in enumerate(zip(lines, masks)):
        if skip_line(mask):
            continue
        starts_statement = prev_end
        found.extend(line_mutants(path, i + 1, line, mask, strings[i]))
        if starts_statement and is_statement(mask):
            indent = line[: len(line) - len(line.lstrip())]
            found.append(Mutant(path, i + 1, "drop", line, indent + ";"))
        # Two adjacent single-line statements that both draw random numbers, swapped.
        if starts_statement and is_complete(mask) and i + 1 < len(lines):
            nmask = masks[i + 1]
            if (is_complete(nmask) and DRAW.search(mask) and DRAW.search(nmask)
                    and lines[i + 1].strip() != line.strip()):
                found.append(Mutant(path, i + 1, "draw-order", line + "\n" + lines[i + 1],
                                    lines[i + 1] + "\n" + line, span=2))
        stripped = mask.rstrip()
        prev_end = stripped.endswith((";", "{", "}", ":")) or not stripped
    return found


# ---------------------------------------------------------------------------------------------
# Scratch copies, building and running
# ---------------------------------------------------------------------------------------------


def run(cmd, cwd, timeout=None):
    """Runs a command in its own process group, so that a test program that hangs is ended
    together with whatever it started (the Xvfb of the OpenGL tests)."""
    with subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", start_new_session=True) as proc:
        try:
            out, _ = proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
            raise
        return subprocess.CompletedProcess(cmd, proc.returncode, out)


def repo_files(root):
    out = run(["git", "ls-files", "-co", "--exclude-standard", "-z"], root).stdout
    return [p for p in out.split("\0") if p and os.path.isfile(os.path.join(root, p))]


def sync_tree(root, files, dest):
    """Copies the working tree's files into dest, writing only those whose content differs so
    that an existing build there stays incremental."""
    for rel in files:
        src = os.path.join(root, rel)
        dst = os.path.join(dest, rel)
        with open(src, "rb") as f:
            data = f.read()
        try:
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
        shutil.copymode(src, dst)


def write_fresh(path, data):
    """Writes a file and stamps it newer than anything built from it."""
    with open(path, "w", encoding="utf-8") as f:
        f.write(data)
    now = time.time_ns()
    os.utime(path, ns=(now, now))


class Worker:
    def __init__(self, scratch, make_jobs, timeout):
        self.dir = scratch
        self.build = os.path.join(scratch, "build", "linux")
        self.make_jobs = make_jobs
        self.timeout = timeout

    def configure(self):
        r = run(["cmake", "--preset", "linux", "-DCMAKE_CXX_COMPILER_LAUNCHER=",
                 "-DCMAKE_C_COMPILER_LAUNCHER="], self.dir)
        if r.returncode:
            sys.exit("configure failed in " + self.dir + ":\n" + r.stdout[-4000:])

    def build_targets(self, targets):
        r = run(["cmake", "--build", self.build, "--target", *targets, "-j", str(self.make_jobs)],
                self.dir, timeout=1800)
        return r.returncode == 0, r.stdout

    def run_tests(self, targets):
        """True when every test program passes."""
        for target in targets:
            exe = os.path.join(self.build, "tests", target)
            cmd = [exe, "--gtest_brief=1", "--gtest_fail_fast"]
            if target == "gl_tests":
                cmd = [os.path.join(self.dir, "tools", "e2e", "with-xvfb"), *cmd]
            try:
                r = run(cmd, self.dir, timeout=self.timeout)
            except subprocess.TimeoutExpired:
                return "timeout"
            if r.returncode != 0:
                return "failed"
        return "passed"


def targets_for(path):
    return ["unit_tests", "gl_tests"] if path.startswith("renderer/scene/") else ["unit_tests"]


def evaluate(worker, mutant, originals):
    full = os.path.join(worker.dir, mutant.path)
    original = originals[mutant.path]
    lines = original.split("\n")
    i = mutant.line - 1
    lines[i:i + mutant.span] = mutant.after.split("\n")
    targets = targets_for(mutant.path)
    try:
        write_fresh(full, "\n".join(lines))
        ok, log = worker.build_targets(targets)
        if not ok:
            mutant.status = "build-failure"
            errors = [ln for ln in log.splitlines() if "error" in ln]
            mutant.detail = errors[0].strip()[:200] if errors else ""
            return
        result = worker.run_tests(targets)
        mutant.status = {"passed": "survived", "failed": "killed", "timeout": "timeout"}[result]
    finally:
        write_fresh(full, original)


# ---------------------------------------------------------------------------------------------
# Driver
# ---------------------------------------------------------------------------------------------


def select_files(root, patterns):
    files = [p for p in repo_files(root) if p.endswith(SOURCE_SUFFIXES)]
    chosen = []
    for pat in patterns:
        pat = pat.rstrip("/")
        for p in files:
            if (fnmatch.fnmatch(p, pat) or p.startswith(pat + "/")) and p not in chosen:
                chosen.append(p)
    return sorted(chosen)


def print_table(mutants, out):
    by_file = {}
    for m in mutants:
        by_file.setdefault(m.path, []).append(m)
    head = f"{'file':40} {'mutants':>7} {'killed':>6} {'surv.':>6} {'build':>6} {'score':>6}"
    print(head, file=out)
    totals = [0, 0, 0, 0]
    for path, ms in sorted(by_file.items()):
        killed = sum(m.status in ("killed", "timeout") for m in ms)
        survived = sum(m.status == "survived" for m in ms)
        broken = sum(m.status == "build-failure" for m in ms)
        built = killed + survived
        score = f"{100 * killed / built:5.1f}%" if built else "   -"
        print(f"{path:40} {len(ms):7} {killed:6} {survived:6} {broken:6} {score:>6}", file=out)
        for k, v in enumerate((len(ms), killed, survived, broken)):
            totals[k] += v
    built = totals[1] + totals[2]
    score = f"{100 * totals[1] / built:5.1f}%" if built else "   -"
    print(f"{'total':40} {totals[0]:7} {totals[1]:6} {totals[2]:6} {totals[3]:6} {score:>6}",
          file=out)
    survivors = [m for m in mutants if m.status == "survived"]
    if survivors:
        print("\nsurvivors:", file=out)
        for m in survivors:
            print(f"  {m.path}:{m.line} [{m.op}] {m.change()}", file=out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--files", nargs="+", required=True,
                    help="source files, folders or globs relative to the repository root")
    ap.add_argument("--sample", type=int, default=0, help="test only N mutants picked at random")
    ap.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    ap.add_argument("--jobs", type=int, default=1, help="scratch copies working in parallel")
    ap.add_argument("--timeout", type=float, default=120, help="seconds per test program run")
    ap.add_argument("--list", action="store_true", help="print the mutants, run nothing")
    ap.add_argument("--json", metavar="OUT", help="write every mutant and its outcome here")
    ap.add_argument("--scratch", metavar="DIR",
                    help="keep the scratch copies here and reuse their builds on the next run")
    args = ap.parse_args()

    root = run(["git", "rev-parse", "--show-toplevel"], os.getcwd()).stdout.strip()
    if not root:
        sys.exit("run inside the repository")
    paths = select_files(root, args.files)
    if not paths:
        sys.exit("no source files match " + " ".join(args.files))
    mutants = [m for p in paths for m in file_mutants(root, p)]
    if args.sample and args.sample < len(mutants):
        mutants = random.Random(args.seed).sample(mutants, args.sample)
    mutants.sort(key=lambda m: (m.path, m.line, m.op, m.after))
    if args.list:
        for k, m in enumerate(mutants):
            print(f"{k:4} {m.path}:{m.line} [{m.op}] {m.change()}")
        print(f"{len(mutants)} mutants in {len(paths)} files")
        return

    jobs = max(1, args.jobs)
    base = args.scratch or tempfile.mkdtemp(prefix="varenko-mutate-")
    os.makedirs(base, exist_ok=True)
    files = repo_files(root)
    originals = {}
    for p in paths:
        with open(os.path.join(root, p), encoding="utf-8") as f:
            originals[p] = f.read()
    needed = sorted({t for p in paths for t in targets_for(p)})
    make_jobs = max(1, (os.cpu_count() or 2) // jobs)
    workers = []
    for k in range(jobs):
        w = Worker(os.path.join(base, f"w{k}"), make_jobs, args.timeout)
        sync_tree(root, files, w.dir)
        w.configure()
        ok, log = w.build_targets(needed)
        if not ok:
            sys.exit("the unmutated tree does not build:\n" + log[-4000:])
        if w.run_tests(needed) != "passed":
            sys.exit("the unmutated tree fails its tests in " + w.dir)
        workers.append(w)

    # Mutants of one file stay together so that each rebuild recompiles as little as possible.
    queues = [[] for _ in workers]
    for k, m in enumerate(mutants):
        queues[k * jobs // len(mutants)].append(m)
    lock = threading.Lock()
    done = [0]
    started = time.time()

    def work(worker, queue):
        for m in queue:
            evaluate(worker, m, originals)
            with lock:
                done[0] += 1
                print(f"[{done[0]}/{len(mutants)} {time.time() - started:6.0f}s] "
                      f"{m.status:13} {m.path}:{m.line} [{m.op}] {m.change()}",
                      file=sys.stderr, flush=True)

    threads = [threading.Thread(target=work, args=(w, q)) for w, q in zip(workers, queues)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    # Leave every scratch build matching the unmutated sources for the next run.
    for w in workers:
        w.build_targets(needed)

    print(f"\n{len(mutants)} mutants, seed {args.seed}, {time.time() - started:.0f} s")
    print_table(mutants, sys.stdout)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump([dataclasses.asdict(m) for m in mutants], f, indent=1)
    if not args.scratch:
        shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    main()
