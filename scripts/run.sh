#!/usr/bin/env bash
# Builds Lentaro and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
platform=headless
if [ -d framework/platform/x11 ]; then platform=x11; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM="$platform" >/dev/null
ninja -C build lentaro
exec ./build/app/lentaro
