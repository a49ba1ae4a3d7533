#!/usr/bin/env python3
"""Measures how many small injected faults the native test suite catches.

It picks a random sample of mutation sites in the shipped code that runs natively (the portable
core, the POSIX and overlay file systems, the console front end; no Win32 code), applies one fault
at a time to a scratch copy of the tree, rebuilds the native build incrementally, runs the native
suite and records whether some test failed ("caught"), every test passed ("missed"), or the
mutant did not compile (dropped and replaced by another site, so that the sample has the size
asked for). The faults are the ones a careless edit makes:

  flip    a comparison turned around:  ==  !=   <  >=   >  <=
  negate  a logical negation dropped:  !x -> x
  off     an off-by-one: an integer literal n -> n + 1
  bool    a boolean swapped: true <-> false, && <-> ||

  tools/mutation_score.py --sample 50 --seed 1            # measure; prints the rate and a table
  tools/mutation_score.py --list --seed 1 --sample 50      # only show the sites it would try
  tools/mutation_score.py --sample 5 --keep-going          # a quick trial

To compare two suites on one sample (which takes the luck of the sample out of the comparison),
replay the mutants of a results file on another checkout, for instance the tree before a change
of the tests: the same line (found by its text, nearest its old number) gets the same fault.

  git worktree add /tmp/before <commit>
  tools/mutation_score.py --tree /tmp/before --work build/mutation-before \
      --replay build/mutation/results-4.json --only missed

The scratch tree is build/mutation/src (a copy of the tracked files of the checkout, remade at each
start), its build build/mutation/build; the results go to build/mutation/results-<seed>.json and
are printed as a table. Use another seed for a new sample of the same size.
"""
import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TREE = ROOT  # the checkout whose tracked files are mutated (--tree)

# The shipped code that the native suite can reach.
SHIPPED = ("app", "description", "removal", "util", "prompts", "widgets", "platform", "tables")
EXCLUDED_PARTS = ("/win32/", "platform/memory/")  # Windows-only code; the tests' own file system


def tracked_files():
    out = subprocess.run(["git", "ls-files"], cwd=TREE, check=True, capture_output=True, text=True).stdout
    return [f for f in out.splitlines() if f]


def shipped_sources(files):
    chosen = []
    for f in files:
        if not f.endswith((".cpp", ".hpp")):
            continue
        if not f.startswith(tuple(p + "/" for p in SHIPPED)):
            continue
        if any(part in "/" + f for part in EXCLUDED_PARTS):
            continue
        chosen.append(f)
    return sorted(chosen)


def code_mask(text):
    """A copy of the text with comments, string and character literals blanked out (kept length),
    so that sites are only found in code."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            for k in range(i, j):
                out[k] = " "
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            for k in range(i, j):
                if out[k] != "\n":
                    out[k] = " "
            i = j
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if not m:
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i)
            end = n if end < 0 else end + len(m.group(1)) + 2
            for k in range(i, end):
                if out[k] != "\n":
                    out[k] = " "
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            for k in range(i, j):
                out[k] = " "
            i = j
        else:
            i += 1
    return "".join(out)


PATTERNS = [
    ("flip", re.compile(r"(?<![=!<>&|+\-*/%^])==(?!=)"), "!="),
    ("flip", re.compile(r"!=(?!=)"), "=="),
    ("flip", re.compile(r"(?<![<>=\-])<=(?![>=])"), ">"),
    ("flip", re.compile(r"(?<![<>=\-])>=(?!=)"), "<"),
    # A lone < or > that is a comparison, not a template bracket, a shift or an arrow: spaces on
    # both sides, as the code is formatted.
    ("flip", re.compile(r"(?<=\s)<(?=\s)"), ">="),
    ("flip", re.compile(r"(?<=\s)>(?=\s)"), "<="),
    ("negate", re.compile(r"(?<![!=<>\w)\]])!(?=[\w(])"), ""),
    ("bool", re.compile(r"\btrue\b"), "false"),
    ("bool", re.compile(r"\bfalse\b"), "true"),
    ("bool", re.compile(r"&&"), "||"),
    ("bool", re.compile(r"\|\|"), "&&"),
]
PURE = re.compile(r"\)\s*(const)?\s*(override)?\s*=\s*0\s*;")  # a pure virtual function
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")


def sites_in(path, text):
    mask = code_mask(text)
    found = []
    lines = mask.split("\n")
    offset = 0
    for number, line in enumerate(lines, start=1):
        stripped = line.strip()
        skip = (stripped.startswith("#") or stripped.startswith("static_assert") or not stripped
                or PURE.search(line) is not None)
        if not skip:
            for kind, pattern, replacement in PATTERNS:
                for m in pattern.finditer(line):
                    found.append((path, number, offset + m.start(), m.end() - m.start(), replacement, kind))
            for m in INTEGER.finditer(line):
                # Array sizes and enum values of declarations are left alone: only literals in
                # expressions after an operator or an opening bracket.
                before = line[: m.start()].rstrip()
                if before and before[-1] in "=<>+-*/%(,[?:" and not before.endswith("operator"):
                    found.append((path, number, offset + m.start(), m.end() - m.start(),
                                  str(int(m.group(1)) + 1), "off"))
        offset += len(line) + 1
    return found


def all_sites(sources):
    sites = []
    for f in sources:
        with open(os.path.join(TREE, f), encoding="latin-1") as handle:
            sites.extend(sites_in(f, handle.read()))
    return sites


def copy_tree(files, target):
    if os.path.isdir(target):
        # Keep the folder (and the build's knowledge of it) but make every tracked file fresh.
        pass
    for f in files:
        source = os.path.join(TREE, f)
        destination = os.path.join(target, f)
        os.makedirs(os.path.dirname(destination), exist_ok=True)
        if os.path.islink(source) or not os.path.isfile(source):
            continue
        if not os.path.exists(destination) or open(source, "rb").read() != open(destination, "rb").read():
            shutil.copy2(source, destination)


def run(cmd, cwd, timeout, log):
    started = time.time()
    try:
        done = subprocess.run(cmd, cwd=cwd, stdout=log, stderr=subprocess.STDOUT, timeout=timeout)
        return done.returncode, time.time() - started
    except subprocess.TimeoutExpired:
        return "timeout", time.time() - started


def describe(site, text):
    path, line, start, length, replacement, kind = site
    original = text[start:start + length]
    return f"{path}:{line} {kind} '{original}' -> '{replacement}'"


def line_of(text, start):
    """The text of the line that holds offset start, and start's column in it."""
    begin = text.rfind("\n", 0, start) + 1
    end = text.find("\n", start)
    return text[begin:end if end >= 0 else len(text)], start - begin


def replayed_sites(results_file, only):
    """The sites of an earlier run's results, placed in this tree: the line with the same text
    nearest the old line number, the same column. A site whose line is gone cannot be placed."""
    with open(results_file) as handle:
        earlier = json.load(handle)["results"]
    placed = []
    for r in earlier:
        if r["outcome"] == "does not compile" or (only and r["outcome"] != only):
            continue
        if "line_text" not in r:
            sys.exit(f"{results_file} does not record the text of its lines; it cannot be replayed")
        path, number = r["path"], r["line"]
        site = None
        full = os.path.join(TREE, path)
        if os.path.isfile(full):
            with open(full, encoding="latin-1") as handle:
                lines = handle.read().split("\n")
            matches = [i for i, line in enumerate(lines) if line == r["line_text"]]
            if matches:
                i = min(matches, key=lambda k: abs(k + 1 - number))
                start = sum(len(line) + 1 for line in lines[:i]) + r["column"]
                site = (path, i + 1, start, len(r["original"]), r["replacement"], r["kind"])
        placed.append((site, r["site"]))
    return placed


def write_results(args, results, tried):
    counted = [r for r in results if r["outcome"] != "does not compile"]
    caught = [r for r in counted if r["outcome"] == "caught"]
    summary = {"seed": args.seed, "sample": len(counted), "caught": len(caught),
               "rate": len(caught) / len(counted) if counted else 0.0,
               "not compiling": tried - len(counted), "results": results}
    name = f"replay-{os.path.basename(args.replay)}" if args.replay else f"results-{args.seed}.json"
    out = os.path.join(args.work, name)
    with open(out, "w") as handle:
        json.dump(summary, handle, indent=1)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__)
    parser.add_argument("--sample", type=int, default=50, help="how many compiling mutants to try (default 50)")
    parser.add_argument("--seed", type=int, default=1, help="the random seed that picks the sample (default 1)")
    parser.add_argument("--list", action="store_true", help="only list the sites of the sample")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--timeout", type=int, default=900, help="seconds for the suite of one mutant (default 900)")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "mutation"), help="scratch folder")
    parser.add_argument("--ctest-args", default="-E ^gui_", help="extra ctest arguments (default: no GUI tests)")
    parser.add_argument("--keep-going", action="store_true", help="do not stop a mutant's suite at its first failure")
    parser.add_argument("--no-baseline", action="store_true",
                        help="do not run the unmutated suite first (an earlier run in the same --work just did)")
    parser.add_argument("--tree", default=ROOT, help="the checkout to mutate (default: this one)")
    parser.add_argument("--replay", metavar="RESULTS", help="try the mutants of an earlier results file, not a sample")
    parser.add_argument("--only", choices=("caught", "missed"), help="with --replay: only the mutants of this outcome")
    args = parser.parse_args()
    global TREE
    TREE = os.path.abspath(args.tree)

    files = tracked_files()
    if args.replay:
        replayed = replayed_sites(args.replay, args.only)
        sites = [site for site, _ in replayed if site is not None]
        for site, what in replayed:
            if site is None:
                print(f"cannot be placed: {what}", flush=True)
        args.sample = len(sites)
        print(f"{len(sites)} of {len(replayed)} mutants of {args.replay} placed in {TREE}", flush=True)
    else:
        sources = shipped_sources(files)
        sites = all_sites(sources)
        rng = random.Random(args.seed)
        rng.shuffle(sites)
        print(f"{len(sites)} sites in {len(sources)} files; seed {args.seed}", flush=True)
    if args.list:
        for site in sites[: args.sample]:
            with open(os.path.join(TREE, site[0]), encoding="latin-1") as handle:
                print(describe(site, handle.read()))
        return 0

    src = os.path.join(args.work, "src")
    build = os.path.join(args.work, "build")
    os.makedirs(args.work, exist_ok=True)
    copy_tree(files, src)
    log_path = os.path.join(args.work, "last.log")
    with open(log_path, "w") as log:
        # Optimised as the suite is usually built, but without debug information: each mutant
        # relinks every test program, and the links are most of a mutant's build.
        configure = ["cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                     "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG -g0"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        code, _ = run(configure, src, None, log)
        if code != 0:
            print(f"configure failed, see {log_path}", file=sys.stderr)
            return 1
        print("building the unmutated tree ...", flush=True)
        code, _ = run(["cmake", "--build", build, f"-j{args.jobs}"], src, None, log)
        if code != 0:
            print(f"the unmutated tree does not build, see {log_path}", file=sys.stderr)
            return 1
        if not args.no_baseline:
            ctest = ["ctest", "--test-dir", build, f"-j{args.jobs}"] + args.ctest_args.split()
            code, seconds = run(ctest, src, args.timeout, log)
            if code != 0:
                print(f"the unmutated suite fails, see {log_path}", file=sys.stderr)
                return 1
            print(f"the unmutated suite passes ({seconds:.0f} s)", flush=True)

    results = []
    tried = 0
    for site in sites:
        if len([r for r in results if r["outcome"] != "does not compile"]) >= args.sample:
            break
        tried += 1
        path = os.path.join(src, site[0])
        with open(path, encoding="latin-1") as handle:
            original = handle.read()
        _, _, start, length, replacement, _ = site
        mutated = original[:start] + replacement + original[start + length:]
        what = describe(site, original)
        line_text, column = line_of(original, start)
        with open(path, "w", encoding="latin-1") as handle:
            handle.write(mutated)
        try:
            with open(log_path, "w") as log:
                code, _ = run(["cmake", "--build", build, f"-j{args.jobs}"], src, None, log)
                if code != 0:
                    outcome = "does not compile"
                else:
                    ctest = ["ctest", "--test-dir", build, f"-j{args.jobs}"] + args.ctest_args.split()
                    if not args.keep_going:
                        ctest.append("--stop-on-failure")
                    code, _ = run(ctest, src, args.timeout, log)
                    outcome = "missed" if code == 0 else "caught"
            if outcome == "caught":
                with open(log_path) as log:
                    failed = re.findall(r"\d+ - (\S+) \(Failed|\*\*\*Timeout", log.read())
                failing = [f for f in failed if f][:3]
            else:
                failing = []
        finally:
            with open(path, "w", encoding="latin-1") as handle:
                handle.write(original)
        results.append({"site": what, "outcome": outcome, "failing": failing, "path": site[0], "line": site[1],
                        "line_text": line_text, "column": column, "original": original[start:start + length],
                        "replacement": replacement, "kind": site[5]})
        counted = [r for r in results if r["outcome"] != "does not compile"]
        write_results(args, results, tried)  # after each mutant: a long run can be read while it runs
        print(f"[{len(counted)}/{args.sample}] {outcome:17} {what}" + (f"  ({', '.join(failing)})" if failing else ""),
              flush=True)

    # Leave the build matching the unmutated tree for the next start.
    with open(log_path, "w") as log:
        run(["cmake", "--build", build, f"-j{args.jobs}"], src, None, log)

    out = write_results(args, results, tried)
    counted = [r for r in results if r["outcome"] != "does not compile"]
    caught = [r for r in counted if r["outcome"] == "caught"]
    rate = len(caught) / len(counted) if counted else 0.0
    print(f"\ncaught {len(caught)} of {len(counted)} mutants ({100 * rate:.0f}%), "
          f"{'replay of ' + args.replay if args.replay else f'seed {args.seed}'}; "
          f"{tried - len(counted)} did not compile; details in {out}")
    for r in counted:
        if r["outcome"] == "missed":
            print(f"  missed: {r['site']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
