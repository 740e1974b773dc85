#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Prints instructions per call of each runner's work, from callgrind files.

    instructions.py callgrind.out...

Each file is one zgqx_bench run under callgrind, filtered to one shape and
size, and best to one runner: runners sharing a process share its heap, and
what one leaves behind moves the other's count by a few percent. Instruction counts do not move with the machine's load, so their ratio
to raw Qt DOM checks the timed ratios where those are noisy.
"""
import re
import sys

from report import TARGETS

# The runner methods the workloads call, by workload.
METHODS = {
    "build_save": "buildAndSave",
    "load": "loadAndRelease",
    "entity_walk": "entityWalk",
    "query_walk": "queryWalk",
    "doc_to_string": "toText",
}
RUNNER_CLASSES = {"ZgqxRunner": "zgqx", "QtDomRunner": "qtdom"}
NAME = re.compile(r"^c?fn=\((\d+)\)(?: (.*))?$")


def per_call(path):
    """Maps (runner, method) to inclusive instructions per call, and returns
    the benchmark filter the file was made with."""
    names = {}
    calls = {}
    inclusive = {}
    command = ""
    pending = None
    with open(path) as handle:
        for line in handle:
            line = line.rstrip("\n")
            if line.startswith("cmd:"):
                command = line
            match = NAME.match(line)
            if match:
                number, name = match.groups()
                if name:
                    names[number] = name
                if line.startswith("cfn="):
                    target = names.get(number, "")
            elif line.startswith("calls="):
                pending = (target, int(line.split()[0][len("calls="):]))
            elif pending:
                target, count = pending
                pending = None
                cost = int(line.split()[1])
                calls[target] = calls.get(target, 0) + count
                inclusive[target] = inclusive.get(target, 0) + cost
    result = {}
    for name, count in calls.items():
        for cls, runner in RUNNER_CLASSES.items():
            for workload, method in METHODS.items():
                if f"::{cls}::{method}(" in name and count:
                    result[(runner, workload)] = inclusive[name] / count
    found = re.search(r"--benchmark_filter=\S*?/(\w+)/(\w+)/", command)
    return result, (found.groups() if found else ("?", "?"))


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    print("Instructions per call (callgrind) and ratio to raw Qt DOM (xQt)")
    print(f"{'workload':<14}{'shape':<6}{'size':>5} |{'zgqx':>14}{'qtdom':>14}{'xQt':>7}")
    tables = {}
    for path in sys.argv[1:]:
        counts, key = per_call(path)
        tables.setdefault(key, {}).update(counts)
    for (shape, size), counts in tables.items():
        for workload in METHODS:
            zgqx = counts.get(("zgqx", workload))
            qt = counts.get(("qtdom", workload))
            if zgqx is None or not qt:
                continue
            ratio = zgqx / qt
            target = TARGETS[workload]
            mark = "!" if target is not None and ratio > target else " "
            print(f"{workload:<14}{shape:<6}{size:>5} |{zgqx:>14,.0f}{qt:>14,.0f}{ratio:>6.2f}{mark}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
