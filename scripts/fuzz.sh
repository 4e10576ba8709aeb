#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz/ with clang (address and undefined-behaviour sanitizers)
# and runs each for SECONDS (default 60):
#   stored_description  the stored-description reader, text to objects
#   picture_data        stored picture and bitmap data
#   spin_edit_input     keys, characters, pastes, selection, pointer, undo on the zoom-power edit
# Seeds come from tests/fuzz/corpus/<harness>/ (the reader's also from the main window's own
# description); what a run adds goes to the build directory's corpus/<harness>/, never into the
# repository, so later runs start from it. Fails when a harness finds something, naming the harness
# and the file that reproduces it (rerun: build-fuzz/tests/fuzz/<harness>_fuzz <file>).
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
harnesses=(stored_description picture_data spin_edit_input)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DLENTARO_SANITIZE=ON -DLENTARO_FUZZ=ON -DLENTARO_TESTS=OFF \
  -DLENTARO_BENCH=OFF -DLENTARO_PLATFORM=headless >/dev/null
ninja -C "$build" "${harnesses[@]/%/_fuzz}"

# The main window's description, as compiled into the program, seeds the reader.
generated="$build/seeds/stored_description"
mkdir -p "$generated"
sed -n '/R"(object/,/^)";/p' "$root/app/stored_layout.cpp" | sed -e '1s/.*R"(//' -e '$d' >"$generated/main-window"

# Per harness: the longest input, and extra options.
declare -A max_len=([stored_description]=8192 [picture_data]=4096 [spin_edit_input]=256)
# The spin edit's inputs are sequences of actions: long ones from the start, as faults lie in how
# actions follow each other.
declare -A options=([stored_description]="-dict=$root/tests/fuzz/stored_description.dict"
  [spin_edit_input]="-len_control=0")

failed=()
for h in "${harnesses[@]}"; do
  corpus="$build/corpus/$h"
  findings="$build/findings/$h"
  log="$build/logs/$h.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  seeds=("$root/tests/fuzz/corpus/$h")
  if [ -d "$build/seeds/$h" ]; then seeds+=("$build/seeds/$h"); fi
  echo "== fuzz $h: $seconds s"
  status=0
  # A run of one input longer than 10 s counts as a hang; the first corpus directory takes new entries.
  # shellcheck disable=SC2086
  "$build/tests/fuzz/${h}_fuzz" -max_total_time="$seconds" -max_len="${max_len[$h]}" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" ${options[$h]:-} "$corpus" "${seeds[@]}" \
    >"$log" 2>&1 || status=$?
  # The last status line gives coverage and corpus; the final statistics the speed.
  summary="$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -n 1 || true)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
  echo "   cov:${summary#*cov:} execs/s: ${speed:-?}"
  if [ "$status" -ne 0 ]; then
    crash="$(grep -oE "Test unit written to [^ ]+" "$log" | tail -n 1 | sed 's/Test unit written to //')"
    echo "== fuzz $h FOUND A FAULT (exit status $status): ${crash:-see $log}"
    grep -E "fuzz invariant broken|ERROR: |SUMMARY: " "$log" | head -n 5 | sed 's/^/   /' || true
    failed+=("$h")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (logs in $build/logs/)"
  exit 1
fi
echo "fuzz: no findings"
