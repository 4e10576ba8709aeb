#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, end-to-end tests, the sanitizer build, and the
# 32-bit Windows build under Wine where its script is present.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh

jobs="$(nproc)"
platform=headless
if [ -d framework/platform/x11 ]; then platform=x11; fi

echo "== Sanitizer build (address + undefined): unit tests"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLENTARO_SANITIZE=ON -DLENTARO_BENCH=OFF \
  -DLENTARO_PLATFORM=headless >/dev/null
ninja -C build-asan -j "$jobs" lentaro_unit_tests
ctest --test-dir build-asan -L unit --output-on-failure -j "$jobs"

if [ -f scripts/test-win32.sh ]; then
  echo "== 32-bit Windows build under Wine"
  bash scripts/test-win32.sh
fi

echo "== Native build ($platform backend): all tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM="$platform" >/dev/null
ninja -C build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
if [ "$platform" = x11 ]; then echo "== Install and .deb package"; bash scripts/test-package.sh build; fi
