#!/usr/bin/env bash
# CPU time per second and memory of lentaro on Xvfb, at rest and with the pointer moving, for the
# normal view and an enlarged window; beside xzoom when that is installed. Not part of the tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake -S . -B build-x11 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM=x11 >/dev/null
ninja -C build-x11 lentaro lentaro_bench_x11_cpu
./build-x11/tests/e2e_x11/lentaro_bench_x11_cpu ./build-x11/app/lentaro
