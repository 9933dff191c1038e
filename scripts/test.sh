#!/usr/bin/env bash
# Builds everything and runs every test: the unit and GUI tests offscreen, the end-to-end tests
# under Xvfb, then the fuzz corpora replayed in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=${JOBS:-2}

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest -j"$jobs" --output-on-failure --timeout 300 -LE fuzz)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZORVANE_SANITIZE=ON \
  -DZORVANE_TESTS=OFF -DZORVANE_BENCH=OFF
cmake --build build-sanitize -j"$jobs" --target fuzz_replay_all
(cd build-sanitize && ctest -j"$jobs" --output-on-failure --timeout 600 -L fuzz)
