#!/usr/bin/env bash
# Builds the Windows program (lentaro.exe) with MinGW-w64 and tests it under Wine on Xvfb: the unit
# tests and the backend tests run as Windows programs, then the end-to-end test starts lentaro.exe
# over a known picture, moves the pointer, reads the screen and closes the program.
# The 32-bit program is always built and checked. Its tests run under the 32-bit Wine where this
# kernel can run 32-bit x86 programs (a probe decides); elsewhere the same targets are built for
# x86_64 and tested under the 64-bit Wine. LENTARO_WINE_ARCH=32|64 forces the choice.
# Every process started here is ended by its PID (and the Wine server with wineserver -k).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${LENTARO_WIN32_BUILD:-build-win32}"
build64="${LENTARO_WIN64_BUILD:-build-win64}"
jobs="$(nproc)"
mkdir -p "$build"
# One run at a time per build directory: runs would share the build and the Wine prefix.
exec 9>"$build/.test-win32.lock"
flock 9

# Debian's `wine` command starts the 32-bit loader whenever it is installed, even where it cannot
# run, so each Wine is called by its own loader.
wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64

# Succeeds when this kernel runs a 32-bit x86 program: one assembled and linked here that only exits
# with 42. Returns 1 when it does not run, 2 when it cannot be built; probe_result says which.
probe_i386() { # directory for the probe's files
  local dir="$1" status=0
  mkdir -p "$dir"
  cat >"$dir/exit42.s" <<'EOF'
.globl _start
_start:
  movl $1, %eax   # exit(42) through the i386 system call gate
  movl $42, %ebx
  int $0x80
EOF
  if ! { as --32 -o "$dir/exit42.o" "$dir/exit42.s" && ld -m elf_i386 -o "$dir/exit42" "$dir/exit42.o"; } \
    >"$dir/build.log" 2>&1; then
    probe_result="the i386 probe could not be built with as --32 and ld -m elf_i386 (see $dir/build.log)"
    return 2
  fi
  "$dir/exit42" 2>"$dir/run.log" || status=$?
  if [ "$status" -eq 42 ]; then
    probe_result="this kernel runs 32-bit x86 programs"
    return 0
  fi
  local error
  error="$(tail -n1 "$dir/run.log" | sed 's/.*: //')"
  probe_result="this kernel cannot run 32-bit x86 programs (the i386 probe: ${error:-no error}, exit $status)"
  return 1
}

wine_arch="${LENTARO_WINE_ARCH:-}"
case "$wine_arch" in
  "" | 32 | 64) ;;
  *) echo "LENTARO_WINE_ARCH must be 32 or 64, not '$wine_arch'"; exit 1 ;;
esac
probe_status=0
probe_i386 "$root/$build/i386-probe" || probe_status=$?
if [ -n "$wine_arch" ]; then
  reason="LENTARO_WINE_ARCH=$wine_arch asks for it ($probe_result)"
elif [ "$probe_status" -eq 0 ]; then
  wine_arch=32
  reason="$probe_result"
elif [ "$probe_status" -eq 1 ]; then
  wine_arch=64
  reason="$probe_result"
else
  echo "Cannot choose a Wine for the Windows tests: $probe_result"
  exit 1
fi
if [ "$wine_arch" = 32 ]; then
  [ "$probe_status" -ne 1 ] || { echo "LENTARO_WINE_ARCH=32 asks for the 32-bit Wine, but $probe_result"; exit 1; }
  wine_loader="$wine32_loader"
  wine_package="wine32:i386"
  wine_build="$build"
  wine_label="the 32-bit Wine on the i686 build"
else
  wine_loader="$wine64_loader"
  wine_package="wine64"
  wine_build="$build64"
  wine_label="the 64-bit Wine (wine64) on the x86_64 build"
fi
[ -x "$wine_loader" ] || {
  echo "Cannot run the Windows tests under $wine_label, chosen because $reason:" \
    "$wine_loader is missing (Debian package $wine_package; scripts/install-deps.sh installs it)"
  exit 1
}
echo "== Windows tests run under $wine_label: $reason"

echo "-- configure and build ($build)"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM=win32 -DLENTARO_BENCH=OFF >/dev/null
# Where the tests run on the x86_64 build, the 32-bit one needs only the program itself.
if [ "$wine_arch" = 32 ]; then ninja -C "$build" -j "$jobs"; else ninja -C "$build" -j "$jobs" lentaro; fi
exe="$build/app/lentaro.exe"

if [ "$wine_arch" = 64 ]; then
  echo "-- configure and build ($build64)"
  mkdir -p "$build64"
  exec 8>"$build64/.test-win32.lock"
  flock 8
  cmake -S . -B "$build64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLENTARO_PLATFORM=win32 -DLENTARO_BENCH=OFF >/dev/null
  ninja -C "$build64" -j "$jobs"
  header64="$(x86_64-w64-mingw32-objdump -f "$build64/app/lentaro.exe")"
  grep -q "file format pei-x86-64" <<<"$header64" || { echo "$build64/app/lentaro.exe is not PE32+ for x86-64"; exit 1; }
fi

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

echo "-- the download: the package target's zip (lentaro.exe, LICENSE.txt, README.txt with CRLF line ends)"
version="$(sed -n 's/^project(Lentaro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
zip="$build/lentaro-$version-win32.zip"
rm -f "$zip"
ninja -C "$build" package >"$build/package.log" 2>&1 || { cat "$build/package.log"; echo "the package target failed"; exit 1; }
[ -f "$zip" ] || { echo "the package target made no $(basename "$zip")"; exit 1; }
top="lentaro-$version-win32"
listing="$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)"
expected="$top/LICENSE.txt
$top/README.txt
$top/lentaro.exe"
[ "$listing" = "$expected" ] || { echo "the zip holds:"; echo "$listing"; echo "expected:"; echo "$expected"; exit 1; }
for text in LICENSE.txt README.txt; do
  lines="$(unzip -p "$zip" "$top/$text" | grep -c '')"
  crlf="$(unzip -p "$zip" "$top/$text" | grep -c $'\r$' || true)"
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || { echo "$text: $crlf of $lines lines end in CRLF"; exit 1; }
done
unzip -p "$zip" "$top/LICENSE.txt" | head -n1 | grep -q "^MIT License" || { echo "LICENSE.txt is not the MIT licence"; exit 1; }
readme="$(unzip -p "$zip" "$top/README.txt" | tr -d '\r')"
for text in "Lentaro $version" "lentaro.exe" "Page Up" "Tab" "LICENSE.txt"; do
  grep -qF "$text" <<<"$readme" || { echo "README.txt does not say '$text'"; exit 1; }
done
mkdir -p "$build/zip-check"
unzip -o -q "$zip" "$top/lentaro.exe" -d "$build/zip-check"
grep -q "file format pei-i386" <<<"$($objdump_tool -f "$build/zip-check/$top/lentaro.exe")" ||
  { echo "the zip's lentaro.exe is not PE32 for i386"; exit 1; }
[ -z "$($objdump_tool -h "$build/zip-check/$top/lentaro.exe" | grep '\.debug_' || true)" ] ||
  { echo "the zip's lentaro.exe is not stripped"; exit 1; }
rm -rf "$build/zip-check"
echo "$(basename "$zip"): lentaro.exe (stripped), LICENSE.txt and README.txt"

echo "-- host helper for the X display"
mkdir -p "$build/host"
g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -o "$build/host/x_screen_tool" tests/e2e_wine/x_screen_tool.cpp -lX11 -lXtst
xtool="$build/host/x_screen_tool"

xvfb_pid=""
app_pid=""
export WINEPREFIX="$root/$wine_build/wineprefix"
export WINEARCH="win$wine_arch"
# Wine starts child processes (and run_e2e.sh its programs) with this loader.
export WINELOADER="$wine_loader"
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
timeout 300 "$WINELOADER" wineboot -i >"$wine_build/wineboot.log" 2>&1 ||
  { echo "wineboot failed, see $wine_build/wineboot.log"; exit 1; }
# Xvfb runs no window manager: Wine must not wait for one whenever a window is shown or hidden.
"$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w

echo "-- unit and backend tests under Wine"
# Every stage runs even when an earlier one failed; the run fails at the end.
failed_stages=()
timeout 900 ctest --test-dir "$wine_build" --output-on-failure --timeout 300 || failed_stages+=("unit and backend tests")

echo "-- end-to-end: lentaro.exe on a known screen"
bash tests/e2e_wine/run_e2e.sh "$wine_build/app/lentaro.exe" "$wine_build/tests/e2e_wine/lentaro_e2e_helper.exe" "$xtool" \
  "$wine_build/e2e" ||
  failed_stages+=("end-to-end test")

echo "-- end-to-end: a screen reader's MSAA client beside lentaro.exe"
bash tests/e2e_wine/run_accessibility_e2e.sh "$wine_build/app/lentaro.exe" \
  "$wine_build/tests/e2e_wine/lentaro_msaa_client.exe" "$xtool" "$wine_build/e2e-accessibility" ||
  failed_stages+=("accessibility end-to-end test")

echo "-- the command line: --version and an unknown option answer in a message box"
# A GUI program has no console: the text comes in a box (found by its caption, closed with Enter);
# it also goes to standard output or error, where Wine hands them on.
answer_in_box() { # option, expected exit code, expected start of the text, stream (out|err)
  local option="$1" want="$2" text="$3" stream="$4" status=0
  # An earlier test's program may still be closing its window: wait until none is left, so the
  # window found below is this program's box.
  for _ in $(seq 1 100); do xwininfo -root -tree | grep -q '"Lentaro"' || break; sleep 0.1; done
  "$WINELOADER" "$wine_build/app/lentaro.exe" "$option" >"$wine_build/option.out" 2>"$wine_build/option.err" &
  app_pid=$!
  local shown=""
  for _ in $(seq 1 100); do
    if xwininfo -root -tree | grep -q '"Lentaro"'; then shown=yes; break; fi
    sleep 0.1
  done
  # Enter closes the box once it has the keyboard focus; a key that came before is pressed again.
  for _ in 1 2 3 4 5; do
    [ -n "$shown" ] || break
    "$xtool" keys Return
    for _ in $(seq 1 10); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null || break
  done
  if kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid"; fi
  wait "$app_pid" || status=$?
  app_pid=""
  [ -n "$shown" ] || { echo "lentaro.exe $option: no message box appeared"; return 1; }
  [ "$status" -eq "$want" ] || { echo "lentaro.exe $option: exit code $status, expected $want"; return 1; }
  grep -v "^[0-9a-f]*:fixme:" "$wine_build/option.$stream" | head -n1 | grep -qF -- "$text" ||
    { echo "lentaro.exe $option: standard $stream does not start with '$text'"; return 1; }
  echo "lentaro.exe $option: a message box, exit code $status"
}
answer_in_box --version 0 "Lentaro $version" out && answer_in_box --magnify 2 "lentaro: unknown option '--magnify'" err ||
  failed_stages+=("command line")

if [ "${#failed_stages[@]}" -gt 0 ]; then
  echo "Windows tests under $wine_label: failed: ${failed_stages[*]}"
  exit 1
fi
echo "Windows tests under $wine_label: all stages passed"
