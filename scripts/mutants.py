#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plants one small fault at a time in the program's logic and tells which
ones the tests miss.

A build of its own (Debug, with gcov coverage) runs every test once and
records which test executes which line. Each planted fault then rebuilds
and runs only the tests that execute its line, fastest first, until one
fails. A fault that no test executes is missed. The last line reads
"caught K of N".

The faults are chosen by a hash of the line's text, not its position, so
the same faults are planted again after code moves between files.
"""
import argparse
import hashlib
import json
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# The logic under test: show, settings, engine, web show, sound and the
# platform's text and conversion code. Dialog classes (frm*) and the
# adapters over widgets are windows rather than logic and stay out.
SCOPE = ["show/*.cpp", "settings/*.cpp", "engine/*.cpp", "webshow/*.cpp",
         "sound/*.cpp", "platform/TextFileReader.cpp",
         "platform/TextFileWriter.cpp", "platform/TextCodec.cpp",
         "platform/VbConvert.cpp", "platform/InputFields.cpp"]
WINDOWS = {"ComboIntervalBox.cpp"}
SLOW_TESTS = r"^(tst_package|tst_install)$"

CMP_FLIP = {"==": "!=", "!=": "==", "<": ">=", ">": "<=", "<=": ">", ">=": "<"}
CMP_EDGE = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
NOT_CALLS = ("return", "delete", "throw", "case", "else", "if", "for", "while",
             "switch", "do", "using", "typedef", "static_assert", "Q_UNUSED",
             "Q_ASSERT", "qDebug", "qWarning", "qInfo", "assert", "goto")


def blank_literals(line):
    """The line with string and char literals and a trailing // comment
    blanked out, so operators inside texts are never planted."""
    out, i, n = [], 0, len(line)
    while i < n:
        c = line[i]
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
        elif line.startswith("//", i):
            out.append(" " * (n - i))
            break
        else:
            out.append(c)
            i += 1
    return "".join(out)[:n]


def code_lines(text):
    """(line number, line, code) for every line outside block comments and
    preprocessor lines; code is the line with its literals blanked."""
    in_block = False
    for number, line in enumerate(text.split("\n"), 1):
        code = blank_literals(line)
        if in_block:
            end = code.find("*/")
            if end < 0:
                continue
            in_block = False
            code = " " * (end + 2) + code[end + 2:]
        start = code.find("/*")
        if start >= 0:
            end = code.find("*/", start + 2)
            if end < 0:
                in_block = True
                code = code[:start]
            else:
                code = code[:start] + " " * (end + 2 - start) + code[end + 2:]
        if code.lstrip().startswith("#") or not code.strip():
            continue
        yield number, line, code


CALL = re.compile(r"^\s*(?:Q_EMIT\s+|emit\s+)?([A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*)*)\s*\(.*\)\s*;\s*$")


def line_mutants(code):
    """(kind, start, end, replacement) for each fault this line can take."""
    found = []
    for m in re.finditer(r"(?<=\s)(==|!=|<=|>=|<|>)(?=\s)", code):
        op = m.group(1)
        found.append(("flipped comparison", m.start(), m.end(), CMP_FLIP[op]))
        if op in CMP_EDGE:
            found.append(("off-by-one", m.start(), m.end(), CMP_EDGE[op]))
    for m in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", code):
        found.append(("swapped && and ||", m.start(), m.end(),
                      "||" if m.group(1) == "&&" else "&&"))
    for m in re.finditer(r"\s[+-] 1\b(?![.\w])", code):
        found.append(("off-by-one", m.start(), m.end(), ""))
    for m in re.finditer(r"\b(true|false)\b", code):
        found.append(("flipped boolean", m.start(), m.end(),
                      "false" if m.group(1) == "true" else "true"))
    for m in re.finditer(r"(?<=[(\s])!(?=[\w(])", code):
        found.append(("flipped boolean", m.start(), m.end(), ""))
    call = CALL.match(code)
    if call and "=" not in code.replace("==", "").replace("!=", "") \
            and call.group(1).split(":")[0] not in NOT_CALLS:
        start = len(code) - len(code.lstrip())
        found.append(("removed call", start, len(code.rstrip()), "{}"))
    return found


def candidates(files):
    for path in files:
        text = path.read_text()
        rel = path.relative_to(ROOT).as_posix()
        folder = rel.split("/")[0]
        previous = ";"
        for number, line, code in code_lines(text):
            muts = line_mutants(code)
            stripped = code.strip()
            starts_statement = previous[-1:] in ";{}):" or previous.endswith("else")
            seen = {}
            for kind, start, end, repl in muts:
                if kind == "removed call" and not starts_statement:
                    continue
                token = code[start:end]
                occurrence = seen.get((kind, token), 0)
                seen[(kind, token)] = occurrence + 1
                key = "|".join([folder, " ".join(line.split()), kind, token, str(occurrence)])
                digest = hashlib.sha1(key.encode()).hexdigest()
                yield {
                    "id": digest[:10], "file": rel, "line": number, "kind": kind,
                    "start": start, "end": end, "replacement": repl,
                    "original": line.strip(), "mutated": (line[:start] + repl + line[end:]).strip(),
                    "rank": int(digest, 16) / 16 ** 40,
                }
            previous = stripped


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def configure_and_build(build):
    flags = "--coverage -O0"
    r = run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Debug", "-DPW_BENCH=OFF",
             f"-DCMAKE_CXX_FLAGS={flags}", "-DCMAKE_EXE_LINKER_FLAGS=--coverage"])
    if r.returncode:
        sys.exit(r.stdout)
    r = run(["cmake", "--build", str(build), f"-j{os.cpu_count()}"])
    if r.returncode:
        sys.exit(r.stdout[-4000:])


def test_programs(build):
    """{test: the build target of its program}, or None for a script; a
    test may run another test's program."""
    r = subprocess.run(["ctest", "--test-dir", str(build), "--show-only=json-v1"],
                       stdout=subprocess.PIPE, text=True)
    programs = {}
    for test in json.loads(r.stdout)["tests"]:
        if re.match(SLOW_TESTS, test["name"]):
            continue
        program = Path(test["command"][0])
        programs[test["name"]] = program.name if build.resolve() in program.parents else None
    return programs


def gcda_files(build):
    return list(build.rglob("*.gcda"))


def covered_lines(build, sources):
    """{source: set(line)} executed since the counters were last cleared."""
    result = {}
    for source in sources:
        name = Path(source).name
        for gcda in build.rglob(f"{name}.gcda"):
            if f"/{Path(source).parent.as_posix()}/CMakeFiles/" not in gcda.as_posix():
                continue
            r = subprocess.run(["gcov", "--stdout", "--json-format", "-o", str(gcda.parent), str(gcda)],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               cwd=str(build))
            for chunk in r.stdout.splitlines():
                if not chunk.startswith("{"):
                    continue
                for entry in json.loads(chunk).get("files", []):
                    if not entry["file"].endswith(source):
                        continue
                    # Line 0 lists the lines that hold code at all, run or not.
                    result.setdefault(source, set()).update(
                        ln["line_number"] for ln in entry["lines"] if ln["count"] > 0)
                    result[source].add(0)
                    result.setdefault("lines:" + source, set()).update(
                        ln["line_number"] for ln in entry["lines"])
    return result


def ctest(build, name, timeout=None):
    cmd = ["ctest", "--test-dir", str(build), "-R", f"^{name}$", "--output-on-failure"]
    if timeout:
        cmd += ["--timeout", str(timeout)]
    started = time.monotonic()
    r = run(cmd)
    return r.returncode == 0, time.monotonic() - started, r.stdout


def source_stamp(sources):
    """Changes whenever a source file or a test does, so a stale record is
    never used."""
    r = run(["git", "-C", str(ROOT), "ls-files", "-s", "--", *sources, "tests"])
    d = run(["git", "-C", str(ROOT), "diff", "HEAD", "--", *sources, "tests"])
    return hashlib.sha1((r.stdout + d.stdout).encode()).hexdigest()


def coverage_map(build, sources, cache):
    stamp = source_stamp(sources)
    data = json.loads(cache.read_text()) if cache.exists() else {}
    if data.get("stamp") == stamp:
        return {t: {s: set(v) for s, v in c.items()} for t, c in data["cover"].items()}, \
            data["seconds"], set(data["program"])
    cover, seconds, program = {}, {}, set()
    main_gcda = "/CMakeFiles/pagewheel.dir/"
    for name in test_programs(build):
        for gcda in gcda_files(build):
            gcda.unlink()
        ok, took, out = ctest(build, name)
        if not ok:
            print(f"  {name} fails unmutated and is left out", flush=True)
            continue
        seconds[name] = took
        cover[name] = covered_lines(build, sources)
        if any(main_gcda in g.as_posix() for g in gcda_files(build)):
            program.add(name)
        print(f"  {name}: {took:.1f} s, {sum(map(len, cover[name].values()))} lines", flush=True)
    cache.write_text(json.dumps({"cover": {t: {s: sorted(v) for s, v in c.items()} for t, c in cover.items()},
                                 "seconds": seconds, "program": sorted(program), "stamp": stamp}))
    return cover, seconds, program


class Planted:
    """Writes one fault into a file and always puts the file back."""

    def __init__(self, path, mutant):
        self.path, self.mutant = path, mutant

    def __enter__(self):
        self.text = self.path.read_text()
        lines = self.text.split("\n")
        m, i = self.mutant, self.mutant["line"] - 1
        lines[i] = lines[i][:m["start"]] + m["replacement"] + lines[i][m["end"]:]
        self.path.write_text("\n".join(lines))
        return self

    def __exit__(self, *exc):
        self.path.write_text(self.text)


def build_targets(build, tests, programs, program):
    targets = set()
    for test in tests:
        own = programs[test]
        targets.update([own] if own else [])
        if test in program or not own:
            targets.add("pagewheel")
    return run(["cmake", "--build", str(build), "-j2", "--target", *sorted(targets)]).returncode == 0


def try_tests(build, tests, programs, program, seconds):
    """The fastest test first (most faults fail it), then the others side
    by side; the verdict and the test that caught the fault."""
    for batch in (tests[:1], tests[1:]):
        if not batch:
            continue
        if not build_targets(build, batch, programs, program):
            return "does not compile", None
        timeout = max(60, int(max(seconds[t] for t in batch) * 4))
        r = run(["ctest", "--test-dir", str(build), "-R", "^(" + "|".join(batch) + ")$",
                 "-j2", "--timeout", str(timeout)])
        if r.returncode:
            failed = re.findall(r"^\s*\d+ - (\S+) \(", r.stdout, re.M)
            return "caught", failed[0] if failed else batch[0]
    return "missed", None


def covering(cover, m):
    """The tests that run the fault's line; for a line that holds no code
    of its own (a continued condition, a row of a constant table), those
    that run any line of its file."""
    listed = set().union(*(c.get("lines:" + m["file"], set()) for c in cover.values()))
    if m["line"] in listed:
        return [t for t, c in cover.items() if m["line"] in c.get(m["file"], ())]
    return [t for t, c in cover.items() if len(c.get(m["file"], ())) > 1]


def describe(m):
    if m["kind"] == "removed call":
        return f"removed call: {m['original']}"
    return f"{m['kind']}: {m['mutated']}"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build-mutants"))
    parser.add_argument("--fraction", type=float, default=0.025,
                        help="share of all possible faults to plant (chosen by hash)")
    parser.add_argument("--most-tests", type=int, default=0,
                        help="run at most this many of the tests that run a fault's line, fastest "
                             "first (0: all; fewer is quicker but misses what only a slow test sees)")
    parser.add_argument("--files", nargs="*", help="only these source files")
    parser.add_argument("--list", action="store_true", help="list the chosen faults and stop")
    parser.add_argument("--report", help="write every fault's result to this JSON file")
    args = parser.parse_args()

    files = sorted({p for pattern in SCOPE for p in ROOT.glob(pattern)
                    if not p.name.startswith("frm") and p.name not in WINDOWS})
    if args.files:
        files = [p for p in files if p.relative_to(ROOT).as_posix() in args.files]
    chosen = [m for m in candidates(files) if m["rank"] < args.fraction]
    if args.list:
        for m in chosen:
            print(f"{m['id']} {m['file']}:{m['line']} {describe(m)}")
        print(f"{len(chosen)} faults")
        return

    build = Path(args.build)
    print(f"Building {build} with coverage ...", flush=True)
    configure_and_build(build)
    sources = sorted({m["file"] for m in chosen})
    print("Recording which test runs which line ...", flush=True)
    cover, seconds, program = coverage_map(build, sources, build / "mutants-coverage.json")
    programs = test_programs(build)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    results, caught = [], 0
    for number, m in enumerate(chosen, 1):
        tests = sorted(covering(cover, m), key=lambda t: seconds[t])
        verdict, by = "missed", None
        if not tests:
            verdict = "missed (no test runs this line)"
        else:
            with Planted(ROOT / m["file"], m):
                verdict, by = try_tests(build, tests[:args.most_tests or None], programs, program,
                                        seconds)
        caught += verdict == "caught"
        m.update(verdict=verdict, by=by, tests=len(tests))
        results.append(m)
        where = f"{m['file']}:{m['line']}"
        print(f"[{number}/{len(chosen)}] {verdict}{' by ' + by if by else ''}: "
              f"{where} {describe(m)}", flush=True)

    run(["cmake", "--build", str(build), "-j2"])
    if args.report:
        Path(args.report).write_text(json.dumps(results, indent=1))
    viable = [r for r in results if r["verdict"] != "does not compile"]
    print("\nMissed:")
    for r in viable:
        if r["verdict"] != "caught":
            print(f"  {r['id']} {r['file']}:{r['line']} {describe(r)}"
                  f"{'  (no test runs it)' if not r['tests'] else ''}")
    print(f"caught {caught} of {len(viable)}")


if __name__ == "__main__":
    main()
