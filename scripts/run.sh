#!/usr/bin/env bash
# Builds Lentaro and starts it on the X display. Without a display it runs a demo instead: Lentaro on
# a private Xvfb with a test picture, the pointer moved over a few points, screenshots saved as PNG
# files under out/ (their paths are printed); every process it starts is ended by its PID.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
platform=headless
if [ -d framework/platform/x11 ]; then platform=x11; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM="$platform" >/dev/null
if [ "$platform" != x11 ]; then
  ninja -C build lentaro
  exec ./build/app/lentaro
fi
ninja -C build lentaro lentaro_x11_demo
if [ -n "${DISPLAY:-}" ]; then
  exec ./build/app/lentaro
fi
echo "No X display (DISPLAY is not set): running the demo on a private Xvfb."
mkdir -p out
exec ./build/tests/e2e_x11/lentaro_x11_demo ./build/app/lentaro "$root/out"
