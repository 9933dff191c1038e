#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVANE_TESTS=OFF
cmake --build build -j"${JOBS:-2}" --target zorvane
exec build/bin/zorvane "$@"
