#!/usr/bin/env python3
"""Measures what the tests catch: applies one-line faults from tests/mutants.txt one at a time, rebuilds,
runs the lowest tier that can see each, and counts the faults some test catches.

  tests/mutate.py [--only ID,ID] [--tier host|windows] [--out FILE]

A fault line is `ID TIER FILE | FIND | REPLACE`, FIND exactly once in FILE. Builds use the native preset (host) and
the mingw one (windows, under Wine), both configured. Every file is restored after its fault, also on Ctrl+C."""
import argparse
import pathlib
import subprocess
import sys
import time

root = pathlib.Path(__file__).resolve().parent.parent


def load_faults():
    faults = []
    for number, line in enumerate((root / "tests/mutants.txt").read_text().splitlines(), 1):
        if line.strip() and not line.startswith("#"):
            head, find, replace = (part.strip().replace("\\n", "\n") for part in line.split(" | ", 2))
            faults.append((*head.split(), find, replace, number))
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
    for option in ("--only", "--tier", "--out"):
        parser.add_argument(option, default="")
    options = parser.parse_args()
    only = set(filter(None, options.only.split(",")))
    faults = [f for f in load_faults() if (not only or f[0] in only) and (not options.tier or f[1] == options.tier)]
    done = []
    for ident, tier, path, find, replace, number in faults:
        source, started = root / path, time.time()
        original = source.read_text(encoding="utf-8")
        if original.count(find) != 1:
            done.append((ident, "bad", f"line {number}: FIND occurs {original.count(find)} times in {path}"))
        else:
            build, test, timeout = TIERS[tier]
            try:
                source.write_text(original.replace(find, replace), encoding="utf-8")
                verdict = "uncompiled" if run(build, 1200) != 0 else (
                    "missed" if run(["bash", "-c", test], timeout) == 0 else "caught")
            finally:
                source.write_text(original, encoding="utf-8")
            done.append((ident, verdict, f"{path} ({time.time() - started:.0f} s)"))
        print(*done[-1], flush=True)
    for tier in sorted({f[1] for f in faults}):
        run(TIERS[tier][0], 1200)  # leave the builds matching the sources
    missed = [r[0] for r in done if r[1] != "caught"]
    summary = f"mutants: {len(done) - len(missed)} caught of {len(done)}; not caught: {' '.join(missed) or 'none'}"
    print(summary)
    if options.out:
        pathlib.Path(options.out).write_text("\n".join(" ".join(r) for r in done) + "\n" + summary + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
