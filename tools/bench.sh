#!/usr/bin/env bash
# Builds the engine in release mode and runs every benchmark of bench/. Each
# generates its corpus in a temporary data store and prints its figures next
# to a reference tool (wc -w, cat) run on the same files, then its targets.
# Last, the load benchmark of engine-web on a copy of the real store, when
# wrk is installed (bash tools/deps.sh --full).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DENGINE_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)"
for b in build-bench/bench/*_bench; do
  echo "== $(basename "$b") =="
  "$b"
  echo
done
echo "== web_load.py =="
if command -v wrk >/dev/null; then
  /usr/bin/python3 bench/web_load.py --build build-bench
else
  echo "skipped: wrk is missing (bash tools/deps.sh --full installs it)"
fi
