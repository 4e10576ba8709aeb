#!/usr/bin/env bash
# Builds the 32-bit Windows program (lentaro.exe) with MinGW-w64 and tests it under Wine on Xvfb:
# the unit tests and the backend tests run as Windows programs, then the end-to-end test starts
# lentaro.exe over a known picture, moves the pointer, reads the screen and closes the program.
# Every process started here is ended by its PID (and the Wine server with wineserver -k).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${LENTARO_WIN32_BUILD:-build-win32}"
jobs="$(nproc)"
mkdir -p "$build"
# One run at a time per build directory: runs would share the build and the Wine prefix.
exec 9>"$build/.test-win32.lock"
flock 9

echo "-- configure and build ($build)"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM=win32 -DLENTARO_BENCH=OFF >/dev/null
ninja -C "$build" -j "$jobs"
exe="$build/app/lentaro.exe"

echo "-- check the executable: PE32 for i386, GUI subsystem, system DLLs only"
objdump_tool=i686-w64-mingw32-objdump
# Captured first: grep -q leaving a pipe early would fail the pipeline under pipefail.
header="$($objdump_tool -f "$exe")"
private="$($objdump_tool -p "$exe")"
grep -q "file format pei-i386" <<<"$header" || { echo "lentaro.exe is not PE32 for i386"; exit 1; }
grep -q "Subsystem.*(Windows GUI)" <<<"$private" || { echo "lentaro.exe is not a GUI program"; exit 1; }
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$private" | tr 'A-Z' 'a-z' | sort -u)
allowed=" kernel32.dll user32.dll gdi32.dll ole32.dll msvcrt.dll comctl32.dll "
for dll in "${dlls[@]}"; do
  case "$allowed" in *" $dll "*) ;; *) echo "lentaro.exe imports $dll, which is not a system DLL"; exit 1 ;; esac
done
if grep -qi "uxtheme" <<<"$private"; then echo "UxTheme.dll must be loaded at run time only"; exit 1; fi
echo "imports: ${dlls[*]}"
bash scripts/check-win32-resources.sh "$exe"

echo "-- host helper for the X display"
mkdir -p "$build/host"
g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -o "$build/host/x_screen_tool" tests/e2e_wine/x_screen_tool.cpp -lX11 -lXtst
xtool="$build/host/x_screen_tool"

xvfb_pid=""
app_pid=""
export WINEPREFIX="$root/$build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko installs; no crash debugger, which would wait for ever instead of failing the test.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
cleanup() {
  if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid" 2>/dev/null || true; fi
  if [ -n "${DISPLAY:-}" ] && command -v wineserver >/dev/null; then wineserver -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -f "${display_file:-}"
}
trap cleanup EXIT

echo "-- Xvfb for Wine"
display_file="$(mktemp)"
# -displayfd picks a free display number, so other test runs on the machine do not collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
for _ in $(seq 1 50); do "$xtool" probe 2>/dev/null && break; sleep 0.1; done
"$xtool" probe

echo "-- Wine prefix ($WINEPREFIX)"
timeout 300 wineboot -i >"$build/wineboot.log" 2>&1 || { echo "wineboot failed, see $build/wineboot.log"; exit 1; }
# Xvfb runs no window manager: Wine must not wait for one whenever a window is shown or hidden.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w

echo "-- unit and backend tests under Wine"
# Every stage runs even when an earlier one failed; the run fails at the end.
failed_stages=()
timeout 900 ctest --test-dir "$build" --output-on-failure --timeout 300 || failed_stages+=("unit and backend tests")

echo "-- end-to-end: lentaro.exe on a known screen"
bash tests/e2e_wine/run_e2e.sh "$exe" "$build/tests/e2e_wine/lentaro_e2e_helper.exe" "$xtool" "$build/e2e" ||
  failed_stages+=("end-to-end test")

if [ "${#failed_stages[@]}" -gt 0 ]; then
  echo "32-bit Windows build: failed: ${failed_stages[*]}"
  exit 1
fi
echo "32-bit Windows build: all stages passed"
