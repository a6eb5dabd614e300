#!/usr/bin/env bash
# Builds the engine in release mode and measures the search quality of
# `engine classement` on the labelled real-data queries of one seed
# (default 2): bash tools/quality.sh [SEED] [--details]
set -euo pipefail
cd "$(dirname "$0")/.."
seed="${1:-2}"
shift || true
bash tools/deps.sh
cmake -S . -B build-quality -G Ninja -DCMAKE_BUILD_TYPE=Release -DENGINE_TESTS=OFF -DENGINE_BENCH=OFF >/dev/null
cmake --build build-quality -j "$(nproc)" --target engine
# Debian's Python, which sees python3-numpy (installed by the query generator).
exec /usr/bin/python3 bench/quality.py --seed "$seed" "$@"
