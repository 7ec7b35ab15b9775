#!/usr/bin/env python3
"""Measures what the tests catch: applies one-line faults from tests/mutants.txt one at a time,
rebuilds, runs the lowest tier that can see each, and counts the faults some test catches.

  tests/mutate.py [--only ID,ID] [--tier host|windows] [--out FILE]

A fault line is `ID TIER FILE | FIND | REPLACE`; FIND must occur exactly once in FILE. Builds use
the native preset (host) and the mingw preset (windows, run under Wine); both must be configured.
Every file is restored after its fault, also on Ctrl+C.
"""
import argparse
import pathlib
import subprocess
import sys
import time

root = pathlib.Path(__file__).resolve().parent.parent


def load_faults():
    faults = []
    for number, line in enumerate((root / "tests/mutants.txt").read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        head, find, replace = (part.strip() for part in line.split(" | ", 2))
        ident, tier, path = head.split()
        faults.append((ident, tier, path, find.replace("\\n", "\n"), replace.replace("\\n", "\n"), number))
    return faults


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=root, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout, shell=isinstance(command, str)).returncode
    except subprocess.TimeoutExpired:
        return -1


# Each tier: how to build it and how to run it; a test run that fails or times out catches the fault.
TIERS = {
    "host": (["cmake", "--build", "--preset", "native", "--target", "host_tests"],
             "build/native/tests/host_tests --gtest_brief=1", 600),
    "windows": (["cmake", "--build", "--preset", "mingw"],
                "source tests/windows/wine-env.sh && enigo_wine_ready \"$PWD/build/mingw/tests/wine_keeper.exe\" && "
                "ctest --preset mingw -j2 --stop-on-failure --timeout 240", 1800),
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only", default="")
    parser.add_argument("--tier", default="")
    parser.add_argument("--out", default="")
    options = parser.parse_args()
    only = set(filter(None, options.only.split(",")))
    faults = [f for f in load_faults() if (not only or f[0] in only) and (not options.tier or f[1] == options.tier)]
    results = []
    for ident, tier, path, find, replace, number in faults:
        source = root / path
        original = source.read_text(encoding="utf-8")
        if original.count(find) != 1:
            results.append((ident, "bad", f"line {number}: FIND occurs {original.count(find)} times in {path}"))
            print(results[-1], flush=True)
            continue
        build, test, timeout = TIERS[tier]
        started = time.time()
        try:
            source.write_text(original.replace(find, replace), encoding="utf-8")
            if run(build, 1200) != 0:
                verdict = "uncompiled"
            else:
                verdict = "missed" if run(["bash", "-c", test], timeout) == 0 else "caught"
        finally:
            source.write_text(original, encoding="utf-8")
        results.append((ident, verdict, f"{path} ({time.time() - started:.0f} s)"))
        print(*results[-1], flush=True)
    for tier in sorted({f[1] for f in faults}):
        run(TIERS[tier][0], 1200)  # leave the builds matching the sources
    caught = sum(r[1] == "caught" for r in results)
    missed = [r[0] for r in results if r[1] != "caught"]
    summary = f"mutants: {caught} caught of {len(results)}; not caught: {' '.join(missed) or 'none'}"
    print(summary)
    if options.out:
        pathlib.Path(options.out).write_text("\n".join(" ".join(r) for r in results) + "\n" + summary + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
