#!/usr/bin/env bash
# Builds everything and runs every test: the include-direction check, unit tests under the
# sanitizers, the fuzz targets, the Windows build under Wine, and the native build with its
# end-to-end tests. Every stage runs even when an earlier one failed; the run fails at the end and
# names the stages that failed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh

jobs="$(nproc)"
platform=headless
if [ -d framework/platform/x11 ]; then platform=x11; fi

sanitizer_unit_tests() {
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLENTARO_SANITIZE=ON -DLENTARO_BENCH=OFF \
    -DLENTARO_PLATFORM=headless >/dev/null
  ninja -C build-asan -j "$jobs" lentaro_unit_tests
  ctest --test-dir build-asan -L unit --output-on-failure -j "$jobs"
}

# Each fuzz target for 30 s from its seeds and what earlier runs found (scripts/fuzz.sh).
fuzz_targets() {
  bash scripts/fuzz.sh 30
}

native_build_tests() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM="$platform" >/dev/null
  ninja -C build -j "$jobs"
  ctest --test-dir build --output-on-failure -j "$jobs"
}

failed_stages=()
# Runs one stage in a subshell that stops at its first failing command (errexit would be ignored
# under `if`), and records the stage's name when it fails.
stage() { # name, command...
  local name="$1" status=0
  shift
  echo "== $name"
  set +e
  (set -e; "$@")
  status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    echo "== $name: FAILED (exit status $status)"
    failed_stages+=("$name")
  fi
}

stage "Includes go downward between the layers" bash scripts/check-layers.sh
stage "Sanitizer build (address + undefined): unit tests" sanitizer_unit_tests
stage "Fuzz targets (libFuzzer, 30 s each)" fuzz_targets
stage "Windows build under Wine" bash scripts/test-win32.sh
stage "Native build ($platform backend): all tests" native_build_tests
if [ "$platform" = x11 ]; then
  stage "Install and .deb package" bash scripts/test-package.sh build
  # Two minutes of the real program with the pointer moving: its memory must stay flat.
  stage "X11 soak (2 minutes)" env LENTARO_BUILD_DIR=build bash bench/soak_x11.sh 2
fi

if [ "${#failed_stages[@]}" -gt 0 ]; then
  echo "FAILED stages: $(printf '"%s" ' "${failed_stages[@]}")"
  exit 1
fi
echo "All stages passed"
