#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev googletest)
# Libraries: JSON output, French stemming, spectra, the HTTP server, PNG,
# XXH3 digests.
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
[ -f /usr/include/libstemmer.h ] || need+=(libstemmer-dev)
[ -f /usr/include/kissfft/kiss_fftr.h ] || need+=(libkissfft-dev)
[ -f /usr/include/httplib.h ] || need+=(libcpp-httplib-dev)
[ -f /usr/include/png.h ] || need+=(libpng-dev)
[ -f /usr/include/xxhash.h ] || need+=(libxxhash-dev)
command -v pkg-config >/dev/null || need+=(pkg-config)
if [ "${1:-}" = "--full" ]; then
  command -v clang++ >/dev/null || need+=(clang)
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 \
    || need+=(libclang-rt-dev)
  command -v valgrind >/dev/null || need+=(valgrind)
  command -v strace >/dev/null || need+=(strace)
  # The page's browser tests and load benchmark.
  [ -x /usr/bin/chromium ] || need+=(chromium)
  [ -x /usr/bin/chromedriver ] || need+=(chromium-driver)
  /usr/bin/python3 -c 'import selenium' 2>/dev/null || need+=(python3-selenium)
  command -v wrk >/dev/null || need+=(wrk)
fi
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi
