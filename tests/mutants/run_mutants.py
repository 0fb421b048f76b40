#!/usr/bin/env python3
"""Plants each fault of faults.txt, one at a time, in a scratch copy of the
sources, rebuilds the host build there and runs the host tests: a fault is
caught when a test fails (or hangs). Prints the faults no test caught and
the share caught; exits 1 below the bar, 2 when a fault no longer applies
or no longer compiles, since then the list needs mending.

  run_mutants.py [--only N[,N...]] [--bar PERCENT]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRATCH = os.path.join(ROOT, "build", "mutants")
SOURCE = os.path.join(SCRATCH, "src")
BUILD = os.path.join(SCRATCH, "host")
TARGETS = ["payload_tests", "pack_tool_tests", "app_tests", "parvane-pack",
           "payload_fuzz_replay", "command_line_fuzz_replay", "make_fuzz_seeds"]
SEEDS = os.path.join(BUILD, "tests", "fuzz", "seeds")
# The host tests of the portable code, as ctest runs them, quickest first,
# each with the programs it runs: a test runs only when one of them was
# built again, since otherwise it would run what passed before.
TESTS = [
    (["tests/app_tests", "--gtest_brief=1", "--gtest_fail_fast"], ["tests/app_tests"]),
    (["tests/fuzz/command_line_fuzz_replay", os.path.join(SOURCE, "tests/fuzz/command_line_seeds")],
     ["tests/fuzz/command_line_fuzz_replay"]),
    (["tests/pack_tool_tests", "--gtest_brief=1", "--gtest_fail_fast"],
     ["tests/pack_tool_tests", "tools/pack/parvane-pack"]),
    (["sh", "-c", f'rm -rf "{SEEDS}" && tests/fuzz/make_fuzz_seeds "{SEEDS}" && '
                  f'tests/fuzz/payload_fuzz_replay "{SEEDS}"'],
     ["tests/fuzz/make_fuzz_seeds", "tests/fuzz/payload_fuzz_replay"]),
    (["tests/payload_tests", "--gtest_brief=1", "--gtest_fail_fast"], ["tests/payload_tests"]),
]
# GoogleTest programs run in this many shards, and this many tests side by
# side: twice the cores, since much of a test's time is spent waiting on
# the file system.
SHARDS = max(2, os.cpu_count() or 2)
AT_ONCE = 2 * SHARDS
TEST_TIMEOUT = 60


class Fault:
    def __init__(self, number, path, what):
        self.number, self.path, self.what = number, path, what
        self.old, self.new = [], []


def read_faults(path):
    """Blocks of '@ FILE | WHAT', then '- ' lines (the text as it stands,
    found exactly once) and '+ ' lines (what replaces it)."""
    faults = []
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("@ "):
                file_name, _, what = line[2:].partition(" | ")
                faults.append(Fault(len(faults) + 1, file_name.strip(), what.strip()))
            elif line[:2] in ("- ", "+ ", "-", "+") and faults:
                (faults[-1].old if line[0] == "-" else faults[-1].new).append(line[2:])
            else:
                sys.exit(f"faults.txt:{number}: not '@ FILE | WHAT', '- OLD' or '+ NEW'")
    for fault in faults:
        if not fault.old:
            sys.exit(f"fault {fault.number} ({fault.what}): no '- ' line")
    return faults


def run(command, **kwargs):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", **kwargs)


def same_file(left, right):
    if os.path.getsize(left) != os.path.getsize(right):
        return False
    with open(left, "rb") as a, open(right, "rb") as b:
        return a.read() == b.read()


def sync_sources():
    """The scratch copy made equal to the sources. Files that are equal
    already keep their times, so a second run rebuilds only what changed."""
    wanted = set()
    for folder, folders, files in os.walk(ROOT):
        relative = os.path.relpath(folder, ROOT)
        if relative == ".":
            folders[:] = [f for f in folders if f not in (".git", "build")]
        for name in files:
            path = os.path.normpath(os.path.join(relative, name))
            wanted.add(path)
            source, copy = os.path.join(ROOT, path), os.path.join(SOURCE, path)
            if os.path.islink(source) or not os.path.isfile(source):
                continue
            if not os.path.isfile(copy) or not same_file(source, copy):
                os.makedirs(os.path.dirname(copy), exist_ok=True)
                shutil.copy2(source, copy)
    for folder, _, files in os.walk(SOURCE):
        for name in files:
            path = os.path.relpath(os.path.join(folder, name), SOURCE)
            if path not in wanted:
                os.remove(os.path.join(SOURCE, path))


def build():
    jobs = str(os.cpu_count() or 2)
    return run(["cmake", "--build", BUILD, "-j", jobs, "--target"] + TARGETS)


def stamps():
    stamp = {}
    for _, programs in TESTS:
        for program in programs:
            path = os.path.join(BUILD, program)
            stamp[program] = os.stat(path).st_mtime_ns if os.path.exists(path) else 0
    return stamp


def tests_pass(before=None):
    """Runs the tests whose programs changed since `before` (all without
    it), as many at once as there are cores, GoogleTest programs in
    shards; the first that fails or hangs ends the others."""
    after = stamps()
    waiting = []
    for command, programs in TESTS:
        if before is not None and all(before[p] == after[p] for p in programs):
            continue
        if command[0].endswith("_tests"):
            for shard in range(SHARDS):
                waiting.append((command, {"GTEST_TOTAL_SHARDS": str(SHARDS),
                                          "GTEST_SHARD_INDEX": str(shard)}))
        else:
            waiting.append((command, {}))
    running = []
    verdict = (True, "")
    while (waiting or running) and verdict[0]:
        while waiting and len(running) < AT_ONCE:
            command, extra = waiting.pop(0)
            output = tempfile.TemporaryFile("w+", errors="replace")
            process = subprocess.Popen(command, cwd=BUILD, stdout=output, stderr=subprocess.STDOUT,
                                       env=dict(os.environ, **extra), start_new_session=True)
            running.append((process, command, output, time.monotonic()))
        time.sleep(0.01)
        for entry in list(running):
            process, command, output, started = entry
            status = process.poll()
            if status is None and time.monotonic() - started < TEST_TIMEOUT:
                continue
            running.remove(entry)
            if status is None:
                verdict = (False, f"{os.path.basename(command[0])} did not end")
            elif status != 0:
                output.seek(0)
                failed = [line.strip() for line in output if "FAILED" in line]
                verdict = (False, f"{os.path.basename(command[0])}: " + "; ".join(failed[:2]))
            if status is None:
                os.killpg(process.pid, 9)
                process.wait()
            output.close()
    for process, _, output, _ in running:
        os.killpg(process.pid, 9)
        process.wait()
        output.close()
    return verdict


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--only", help="fault numbers, comma-separated")
    parser.add_argument("--bar", type=float, default=90.0)
    options = parser.parse_args()
    faults = read_faults(os.path.join(ROOT, "tests", "mutants", "faults.txt"))
    if options.only:
        wanted = {int(n) for n in options.only.split(",")}
        faults = [f for f in faults if f.number in wanted]

    start = time.monotonic()
    sync_sources()
    # Ninja's check of what is up to date costs little next to make's, and
    # it runs once per fault.
    generator = ["-G", "Ninja"] if shutil.which("ninja") and not os.path.isfile(
        os.path.join(BUILD, "Makefile")) else []
    # Unoptimised and without debug information: each fault costs a
    # compile and several links, and nothing here is debugged.
    configured = run(["cmake", "-S", SOURCE, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Debug",
                      "-DCMAKE_CXX_FLAGS_DEBUG=-O0", "-DCMAKE_C_FLAGS_DEBUG=-O0"] + generator)
    if configured.returncode != 0 or build().returncode != 0:
        sys.exit("the scratch host build fails before any fault: " + configured.stdout[-2000:])
    passing, why = tests_pass()
    if not passing:
        sys.exit("the host tests fail before any fault: " + why)

    caught, survivors, broken = [], [], []
    for fault in faults:
        path = os.path.join(SOURCE, fault.path)
        with open(path, encoding="utf-8") as source:
            original = source.read()
        old, new = "\n".join(fault.old), "\n".join(fault.new)
        if original.count(old) != 1:
            broken.append((fault, f"the text is there {original.count(old)} times, not once"))
            continue
        with open(path, "w", encoding="utf-8") as source:
            source.write(original.replace(old, new))
        began = time.monotonic()
        try:
            before = stamps()
            built = build()
            if built.returncode != 0:
                broken.append((fault, "does not compile"))
                continue
            passing, why = tests_pass(before)
            (survivors if passing else caught).append(fault)
            print(f"{fault.number:3} {'SURVIVED' if passing else 'caught  '} "
                  f"{time.monotonic() - began:4.1f} s  {fault.path}: {fault.what}"
                  + ("" if passing else f"  [{why}]"), flush=True)
        finally:
            with open(path, "w", encoding="utf-8") as source:
                source.write(original)
    build()  # leaves the scratch build as the sources are

    print()
    for fault, reason in broken:
        print(f"NOT PLANTED {fault.number} {fault.path}: {fault.what}: {reason}")
    for fault in survivors:
        print(f"SURVIVED {fault.number} {fault.path}: {fault.what}")
    planted = len(caught) + len(survivors)
    share = 100.0 * len(caught) / planted if planted else 0.0
    print(f"caught {len(caught)} of {planted} planted faults: {share:.1f}% "
          f"(bar {options.bar:.0f}%), in {time.monotonic() - start:.0f} s")
    if broken:
        return 2
    return 0 if share >= options.bar else 1


if __name__ == "__main__":
    sys.exit(main())
