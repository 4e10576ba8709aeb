#!/usr/bin/env bash
# End-to-end test of lentaro.exe under Wine: paints the X root with a coordinate pattern, starts the
# program, moves the pointer and checks each time that the view shows the screen round the pointer
# enlarged twice with the blue crosshair at its centre; types a zoom power and a crosshair size
# through XTest and checks the magnification and the crosshair's length; resizes the window from
# another process (place, maximise and restore) and by dragging its border, and checks the view's
# size and picture; then closes the main window with WM_CLOSE and expects exit code 0. DISPLAY and
# the Wine variables come from the caller; WINELOADER, when set, names the Wine loader that runs the
# programs (the 32-bit or the 64-bit one).
# Usage: run_e2e.sh LENTARO_EXE E2E_HELPER_EXE X_SCREEN_TOOL OUTPUT_DIR
set -euo pipefail
wine="${WINELOADER:-wine}"
exe="$1"
helper="$2"
xtool="$3"
out="$4"
mkdir -p "$out"
# shellcheck source=tests/e2e_wine/e2e_report.sh
source "$(dirname "$0")/e2e_report.sh"
app_pid=""
trap 'stop_pids app_pid' EXIT

# Polls until the view shows the expected picture (Wine's start-up takes a few seconds); further
# arguments are check-view's options (zoom power, crosshair size, the view's size and place).
expect_view() { # x, y, seconds, option...
  local x="$1" y="$2" deadline=$((SECONDS + $3))
  shift 3
  while [ $SECONDS -lt $deadline ]; do
    if "$xtool" check-view "$x" "$y" "$@" >"$out/check.log" 2>&1; then cat "$out/check.log"; return 0; fi
    kill -0 "$app_pid" 2>/dev/null || { echo "lentaro.exe ended early"; return 1; }
    sleep 0.2
  done
  shots=$((shots + 1))
  "$xtool" check-view "$x" "$y" "$@" --ppm="$out/screen-$shots.ppm" ||
    { echo "screen saved as $out/screen-$shots.ppm"; return 1; }
}
shots=0

# The main window's geometry as the helper reports it (screen coordinates), into win_* and client_*.
read_geometry() { # helper command and arguments
  local line
  line="$("$wine" "$helper" "$@")" || { echo "lentaro_e2e_helper $*: failed ($line)"; return 1; }
  line="${line//$'\r'/}" # Wine's console ends lines with CR LF
  [[ "$line" =~ ^window(\ -?[0-9]+){4}\ client(\ -?[0-9]+){4}$ ]] ||
    { echo "lentaro_e2e_helper $*: unexpected answer '$line'"; return 1; }
  read -r _ win_x win_y win_w win_h _ client_x client_y client_w client_h <<<"$line"
  echo "$*: window at ($win_x, $win_y) $win_w x $win_h, client area at ($client_x, $client_y) $client_w x $client_h"
}

# Waits (up to 90 s: Wine's start-up) until the main window is up and reads its geometry.
read_geometry_when_shown() {
  local deadline=$((SECONDS + 90))
  while [ $SECONDS -lt $deadline ]; do
    if read_geometry geometry >/dev/null 2>&1; then read_geometry geometry; return 0; fi
    kill -0 "$app_pid" 2>/dev/null || { echo "lentaro.exe ended early"; return 1; }
    sleep 0.5
  done
  echo "the main window did not come up"
  return 1
}

# After a size change the view fills the client area but for 2 pixels on the right and 73 below (the
# controls' strip), at its top-left corner; the pointer rests at (320, 310) for these checks.
expect_laid_out_view() {
  expect_view 320 310 10 --zoom=400 --crosshair=50 "--size=$((client_w - 2))x$((client_h - 73))" \
    "--at=$client_x,$client_y"
}

"$xtool" paint-root
"$xtool" move 300 300
"$wine" "$exe" >"$out/lentaro.log" 2>&1 &
app_pid=$!

status=0
expect_view 300 300 90 || status=$?
report "view follows the pointer at start" "$status"

status=0
"$xtool" move 420 200
expect_view 420 200 10 || status=$?
report "view follows a pointer move" "$status"

# Near the display's left edge the captured rectangle is pushed back inside the display.
status=0
"$xtool" move 5 600
expect_view 5 600 10 || status=$?
report "capture stays on the display at its edge" "$status"

# At start the focus is in the zoom power with all its text selected: Backspace takes the digits,
# then the typed ones go in before the suffix. Each keystroke reaches the view at once, without the
# pointer moving; 4 % and 40 % on the way ask for sources far larger than the screen.
"$xtool" move 300 300
status=0
"$xtool" keys BackSpace 4 0 0
expect_view 300 300 10 --zoom=400 || status=$?
report "typed zoom power 400 magnifies four times at once" "$status"

# Tab to the crosshair size: its new value is stored and shows at the next drawing, when the pointer
# moves; until then the view keeps the crosshair it has.
status=0
"$xtool" keys Tab BackSpace 5 0
sleep 0.5
"$xtool" check-view 300 300 --zoom=400 || status=$?
"$xtool" move 320 310
expect_view 320 310 10 --zoom=400 --crosshair=50 || status=$?
report "typed crosshair size 50 shows at the next drawing" "$status"

# Resized from outside, the pointer resting: the view takes the client area less 2 x 73 pixels and
# shows the picture at once.
status=0
read_geometry place 560 240 360 420 && expect_laid_out_view || status=$?
read_geometry place 600 260 300 330 && expect_laid_out_view || status=$?
report "moved and resized from another process, the view follows" "$status"

# Maximised the view shows the window itself; restored it is sized from the restored client area.
# The pause lets the program lay the maximised window out first, so the restored size must come back.
status=0
read_geometry maximize || status=$?
sleep 0.5
read_geometry restore && expect_laid_out_view || status=$?
report "maximised and restored, the view follows" "$status"

# While the border is held in the system's sizing loop the toolkit keeps up: the window's newly
# uncovered strip below "Exit" shows the window's silver, not the black of a fresh back surface.
status=0
read_geometry geometry || status=$?
"$xtool" drag-hold $((win_x + win_w - 2)) $((win_y + win_h - 2)) $((win_x + win_w + 40)) $((win_y + win_h + 30))
sleep 0.5
if read_geometry geometry; then
  under_exit="$("$xtool" pixel $((client_x + client_w - 40)) $((client_y + client_h - 3)))"
  [ "$under_exit" = c0c0c0 ] || { echo "during the drag the strip below Exit is $under_exit"; status=1; }
else
  status=1
fi
"$xtool" release
report "during a border drag the window is laid out and painted" "$status"

# Dragging the bottom-right corner runs the system's sizing loop; the view catches up once it ends.
status=0
read_geometry geometry || status=$?
"$xtool" drag $((win_x + win_w - 2)) $((win_y + win_h - 2)) $((win_x + win_w + 48)) $((win_y + win_h + 36))
"$xtool" move 320 310
read_geometry geometry && expect_laid_out_view || status=$?
[ "$client_w" -gt 300 ] || { echo "the drag did not resize the window"; status=1; }
report "border drag resizes the window and the view" "$status"

# Waits (up to 30 s) for lentaro.exe to end after a close request; fails unless its exit code is 0.
expect_exit_zero() { # label for the messages
  local code
  for _ in $(seq 1 300); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app_pid" 2>/dev/null; then
    echo "$1: lentaro.exe still runs 30 s after the close request"
    return 1
  fi
  set +e
  wait "$app_pid"
  code=$?
  set -e
  app_pid=""
  echo "$1: exit code $code"
  [ "$code" -eq 0 ]
}

status=0
"$wine" "$helper" close || status=$?
if [ "$status" -eq 0 ]; then expect_exit_zero "lentaro.exe" || status=1; fi
report "close request ends the program with exit code 0" "$status"

# Started from a shortcut set to "Maximized" the window comes up maximised; set to "Minimized"
# (minimised without activation) the application comes up minimised. Either way the program ends
# with 0 when closed.
start_in_mode() { # show mode, state the close helper expects, name
  local status=0 closed=1
  "$wine" "$helper" launch "$1" "$("$wine" winepath -w "$exe")" >"$out/lentaro-$2.log" 2>&1 &
  app_pid=$!
  for _ in $(seq 1 300); do
    closed=0
    "$wine" "$helper" close "$2" 2>/dev/null || closed=$?
    [ "$closed" -ne 1 ] && break
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.2
  done
  if [ "$closed" -ne 0 ]; then
    echo "$3: the close helper reported $closed (1: no window, 3: not $2)"
    status=1
  fi
  expect_exit_zero "$3" || status=1
  report "$3" "$status"
}
start_in_mode 3 maximized "maximised start mode is honoured"   # SW_SHOWMAXIMIZED
start_in_mode 7 minimized "minimised start mode minimises the application" # SW_SHOWMINNOACTIVE

# At 150 % (LogPixels 144 in the prefix) the window is made at its monitor's scale: the client
# area 1.5 times the designed 250 x 293 (MulDiv: 375 x 440), whatever the frame at that scale. The
# view is 375 x 375, or, where Wine reports a size change at start, the client area less the
# resize rule's margins at that scale (3 x 110); it shows ZoomLevel 50 of its own device size, its
# crosshair still 20 device pixels.
status=0
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
"$xtool" move 300 300
"$wine" "$exe" >"$out/lentaro-144.log" 2>&1 &
app_pid=$!
if read_geometry_when_shown; then
  [ "$client_w" -eq 375 ] && [ "$client_h" -eq 440 ] ||
    { echo "at 144 DPI the client area is $client_w x $client_h, expected 375 x 440"; status=1; }
  expect_view 300 300 20 "--size=$((client_w - 3))x$((client_h - 110))" "--at=$client_x,$client_y" ||
    expect_view 300 300 5 --size=375x375 "--at=$client_x,$client_y" || status=$?
else
  status=1
fi
"$wine" "$helper" close >/dev/null 2>&1 || status=1
expect_exit_zero "lentaro.exe at 144 DPI" || status=1
"$wine" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
report "LogPixels 144 scales the window at start" "$status"

finish_report
