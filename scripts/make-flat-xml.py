#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes an XML file of person records, all under the document element.

    make-flat-xml.py OUT [MEGABYTES] [--group N]

MEGABYTES (default 5) is the size to reach, in MiB (1,048,576 bytes);
records are added until it is reached. --group N puts the records N to a
<group> element instead. Each record makes ten rows in DomTreeModel; the
shape is the one bench/bench_model.cpp walks (5 MB flat: 23,037 records).
"""
import argparse

RECORD = """  <person id="{0}" city="Graz">
    <!-- record {0} -->
    <name>Person {0}</name>
    <phone kind="mobile">+43 660 {0}</phone>
    <email>person{0}@example.org</email>
    <note>Prefers phone calls.</note>
  </person>
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("megabytes", nargs="?", type=float, default=5.0)
    parser.add_argument("--group", type=int, default=0)
    args = parser.parse_args()
    target = int(args.megabytes * 1_048_576)
    parts = ['<?xml version="1.0"?>\n<people>\n']
    size = len(parts[0]) + len("</people>\n")
    count = 0
    while size < target:
        record = RECORD.format(count)
        if args.group and count % args.group == 0:
            record = ("</group>\n" if count else "") + "<group>\n" + record
        parts.append(record)
        size += len(record)
        count += 1
    if args.group and count:
        parts.append("</group>\n")
    parts.append("</people>\n")
    with open(args.out, "w", encoding="utf-8") as out:
        out.write("".join(parts))
    print(f"{args.out}: {count} records, {size} bytes")


if __name__ == "__main__":
    main()
