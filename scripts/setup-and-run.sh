#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fresh machine to running program: installs the packages, builds, and runs the
# examples (build a document and print the saved file, then walk a sample with
# the entity walk and with query handles).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
build/examples/xmlbuild build/example.xml
cat build/example.xml
build/examples/xmlwalk examples/sample.xml
build/examples/xmlquery examples/sample.xml city
