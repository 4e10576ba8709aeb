#!/usr/bin/env bash
# Lentaro beside xzoom on one private Xvfb: CPU at rest and moving, drawings per second, CPU per
# drawing, wake-ups at rest, the time a warp at rest takes to be drawn, memory and start time, with
# the targets. Not part of the tests.
# xzoom is a separate program, installed from Debian to be measured against.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if ! command -v xzoom >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "compare_xzoom: xzoom is missing; run as root to install it (apt-get install xzoom)" >&2
    exit 1
  fi
  apt-get install -y xzoom >/dev/null
fi
build="${LENTARO_BENCH_BUILD:-build-x11}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM=x11 >/dev/null
flock /tmp/lentaro-build.lock ninja -C "$build" lentaro lentaro_bench_compare_xzoom
"./$build/tests/e2e_x11/lentaro_bench_compare_xzoom" "./$build/app/lentaro"
