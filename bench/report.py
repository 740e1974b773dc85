#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Prints the tables of a zgqx_bench JSON result.

    report.py bench.json

CPU times are per walk entity of the document (start and end of each element,
each attribute, each text); MB/s is of the document's XML; "xQt" is a
runner's time over raw Qt DOM's in the same run. A "!" marks a ratio past the
library's target.
"""
import json
import re
import statistics
import sys

RUNNERS = ["zgqx", "qtdom", "libxml2", "pugixml"]
WORKLOADS = ["build_save", "load", "entity_walk", "query_walk", "doc_to_string"]
# Most the library may cost over raw Qt DOM; None: no target.
TARGETS = {"build_save": 1.10, "load": 1.10, "entity_walk": 1.5, "query_walk": None,
           "doc_to_string": 1.10}
SCALING_TARGET = 1.2
MEMORY_SIZES = ["1MB", "10MB", "50MB"]


def load_runs(path):
    """Maps each benchmark's name to its metrics, the median over repetitions."""
    with open(path) as handle:
        data = json.load(handle)
    grouped = {}
    errors = {}
    for bench in data.get("benchmarks", []):
        if bench.get("run_type", "iteration") != "iteration":
            continue
        name = bench.get("run_name", bench["name"])
        name = re.sub(r"/(iterations|repeats|min_time):[^/]*", "", name)
        if bench.get("error_occurred"):
            errors[name] = bench.get("error_message", "error")
            continue
        grouped.setdefault(name, []).append(bench)
    runs = {}
    for name, benches in grouped.items():
        metrics = {}
        for key in ("per_entity", "per_call", "per_attribute", "bytes_per_second",
                    "peak_MB_per_MB", "entities"):
            values = [b[key] for b in benches if key in b]
            if values:
                metrics[key] = statistics.median(values)
        runs[name] = metrics
    return runs, errors


def ns(seconds):
    return seconds * 1e9


def ratio_text(value, target):
    if value is None:
        return "-"
    mark = "!" if target is not None and value > target else " "
    return f"{value:.2f}{mark}"


def corpus_keys(runs, errors):
    """(workload, shape, size) in the order the benchmark ran them."""
    keys = []
    for name in list(runs) + list(errors):
        parts = name.split("/")
        if len(parts) == 4 and parts[0] in WORKLOADS:
            key = tuple(parts[:3])
            if key not in keys:
                keys.append(key)
    return keys


def print_main_table(runs, errors):
    keys = corpus_keys(runs, errors)
    if not keys:
        return
    present = [r for r in RUNNERS
               if any(f"{'/'.join(k)}/{r}" in runs or f"{'/'.join(k)}/{r}" in errors for k in keys)]
    print("CPU time per entity (ns), throughput (MB/s) and ratio to raw Qt DOM (xQt)")
    header = f"{'workload':<14}{'shape':<6}{'size':>5} |"
    for runner in present:
        header += f" {runner + ' ns':>11}{'MB/s':>7}{'xQt':>7} |"
    print(header)
    print("-" * len(header))
    for workload in WORKLOADS:
        for key in (k for k in keys if k[0] == workload):
            qt = runs.get("/".join(key) + "/qtdom", {}).get("per_entity")
            line = f"{key[0]:<14}{key[1]:<6}{key[2]:>5} |"
            for runner in present:
                name = "/".join(key) + "/" + runner
                run = runs.get(name)
                if run is None or "per_entity" not in run:
                    cell = "error" if name in errors else "-"
                    line += f" {cell:>11}{'':>7}{'':>7} |"
                    continue
                time = run["per_entity"]
                speed = run.get("bytes_per_second", 0) / 1e6
                ratio = time / qt if qt else None
                target = TARGETS[workload] if runner == "zgqx" else None
                line += f" {ns(time):>11.1f}{speed:>7.1f}{ratio_text(ratio, target):>7} |"
            print(line)
    print()
    for name, message in errors.items():
        print(f"ERROR {name}: {message}")


def print_memory_table(runs):
    rows = []
    for workload in ("build_save", "load", "doc_to_string"):
        for shape in ("wide", "deep", "mixed"):
            for size in MEMORY_SIZES:
                values = [runs.get(f"{workload}/{shape}/{size}/{r}", {}).get("peak_MB_per_MB")
                          for r in RUNNERS]
                if any(v is not None for v in values):
                    rows.append((workload, shape, size, values))
    if not rows:
        return
    print("Peak memory growth per MB of XML (resident set high-water mark); xQt: zgqx / qtdom")
    print(f"{'workload':<14}{'shape':<6}{'size':>5} |" + "".join(f"{r:>9}" for r in RUNNERS)
          + f" |{'xQt':>6}")
    for workload, shape, size, values in rows:
        cells = "".join(f"{v:>9.1f}" if v is not None else f"{'-':>9}" for v in values)
        zgqx, qt = values[RUNNERS.index("zgqx")], values[RUNNERS.index("qtdom")]
        ratio = f"{zgqx / qt:>6.2f}" if zgqx is not None and qt else f"{'-':>6}"
        print(f"{workload:<14}{shape:<6}{size:>5} |{cells} |{ratio}")
    print()


def print_scaling(runs):
    lines = []

    def compare(label, slow, fast, key, target):
        a = runs.get(slow, {}).get(key)
        b = runs.get(fast, {}).get(key)
        if a is None or b is None:
            return
        lines.append(f"{label:<44}{ns(b):>10.1f}{ns(a):>10.1f}{ratio_text(a / b, target):>8}")

    for workload, key in (("scaling_build", "per_call"), ("scaling_walk", "per_entity")):
        compare(f"{workload} ns ({key}): 1 / 10,000 docs",
                f"{workload}/docs:10000/zgqx", f"{workload}/docs:1/zgqx", key, SCALING_TARGET)
    # Builder calls must not feel how many documents are live.
    compare("builder_calls ns (per_call): 1 / 10,001 docs", "builder_calls/docs:10001/zgqx",
            "builder_calls/docs:1/zgqx", "per_call", 1.10)
    sizes = []
    for name in runs:
        parts = name.split("/")
        if len(parts) == 4 and parts[0] == "entity_walk" and parts[2] not in sizes:
            sizes.append(parts[2])
    for workload in ("entity_walk", "query_walk"):
        for size in sizes:
            for runner in RUNNERS:
                compare(f"{workload} {size} {runner}: wide / deep",
                        f"{workload}/deep/{size}/{runner}", f"{workload}/wide/{size}/{runner}",
                        "per_entity", SCALING_TARGET if runner == "zgqx" else None)
    compare("file_write 1 KB: QFile / QSaveFile", "file_write/1KB/qsavefile",
            "file_write/1KB/qfile", "per_call", None)
    for workload in ("attrs_build", "attrs_walk", "attrs_to_string", "attrs_order"):
        for runner in ("zgqx", "qtdom"):
            compare(f"{workload} {runner}: 100 / 40,000 attributes",
                    f"{workload}/40000/{runner}", f"{workload}/100/{runner}", "per_attribute",
                    SCALING_TARGET if runner == "zgqx" else None)
    if not lines:
        return
    print("Scaling (ns per call, entity or attribute; ratio = second / first)")
    print(f"{'':<44}{'first':>10}{'second':>10}{'ratio':>8}")
    for line in lines:
        print(line)
    print()


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    runs, errors = load_runs(sys.argv[1])
    print_main_table(runs, errors)
    print_memory_table(runs)
    print_scaling(runs)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
