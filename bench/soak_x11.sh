#!/usr/bin/env bash
# The X11 soak: lentaro on a private Xvfb for MINUTES (default 10) with the pointer moving all the
# time; prints RSS at start, after warm-up and at the end, and fails unless it stayed flat within
# 1 %. LENTARO_BUILD_DIR picks an existing native build (default: build-x11, configured here).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${LENTARO_BUILD_DIR:-build-x11}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM=x11 -DLENTARO_BENCH=ON >/dev/null
ninja -C "$build" lentaro lentaro_bench_x11_soak
exec "./$build/tests/e2e_x11/lentaro_bench_x11_soak" "./$build/app/lentaro" "${1:-10}"
