#!/usr/bin/env bash
# Builds the program, its plug-ins and tools, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DZORVANE_TESTS=OFF -DZORVANE_BENCH=OFF
cmake --build build-run -j"${JOBS:-2}"
exec build-run/bin/zorvane "$@"
