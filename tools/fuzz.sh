#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a bounded time, starting
# from its seed inputs in fuzz/corpus/<target>/. Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DENGINE_FUZZ=ON -DENGINE_TESTS=OFF -DENGINE_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"
status=0
for src in fuzz/*_fuzz.cc; do
  name="$(basename "$src" .cc)"
  work="$(mktemp -d)"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$work/"
  echo "== $name (${seconds}s) =="
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
       "build-fuzz/fuzz/$name" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
       -rss_limit_mb=2048 -print_final_stats=0 "$work" 2>"$work.log"; then
    tail -n 60 "$work.log"
    status=1
  else
    grep -E '^#[0-9]+.*DONE|Done [0-9]+ runs' "$work.log" | tail -n 1 || true
  fi
  rm -rf "$work" "$work.log"
done
exit $status
