#!/usr/bin/env bash
# Builds the stored-picture fuzz target with clang's libFuzzer (address and undefined-behaviour
# sanitizers) in its own build directory and runs it for FUZZ_SECONDS (default 60). Extra
# arguments go to the fuzzer. Not part of the default build or of CI.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
# The library gets coverage instrumentation too, or the fuzzer would be blind inside it.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DLENTARO_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -DLENTARO_TESTS=OFF -DLENTARO_BENCH=OFF >/dev/null
ninja -C "$build" lentaro_framework
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I"$root" \
  "$root/tests/fuzz/picture_data_fuzz.cpp" \
  "$build/framework/liblentaro_framework.a" "$build/framework/liblentaro_platform_core.a" \
  -o "$build/picture_data_fuzz"
corpus="$build/picture_data_corpus"
mkdir -p "$corpus"
# Seed with a small 24-bit picture record ("TBitmap", length, a 1 x 1 BMP file).
printf '\x07TBitmap\x3a\x00\x00\x00BM\x3a\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x10\x20\x30\x00' \
  >"$corpus/seed-24bit"
exec "$build/picture_data_fuzz" -max_total_time="${FUZZ_SECONDS:-60}" -max_len=4096 "$@" "$corpus"
