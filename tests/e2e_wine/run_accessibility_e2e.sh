#!/usr/bin/env bash
# End-to-end test of lentaro.exe with a screen reader's eyes, under Wine: a small MSAA client
# (lentaro_msaa_client.exe), a process of its own, reads the main window's tree (roles, names,
# values, states), the focus and the caret, follows the focus and value events while keys are typed
# through XTest, sets the zoom power through put_accValue (checked in the view's pixels),
# makes hostile calls, reads the pop-up menu through its own window, and finally presses "Exit"
# through accDoDefaultAction, which must end the program with code 0.
# DISPLAY and the Wine variables come from the caller (scripts/test-win32.sh).
# Usage: run_accessibility_e2e.sh LENTARO_EXE MSAA_CLIENT_EXE X_SCREEN_TOOL OUTPUT_DIR
set -euo pipefail
wine="${WINELOADER:-wine}"
exe="$1"
client="$2"
xtool="$3"
out="$4"
mkdir -p "$out"
# shellcheck source=tests/e2e_wine/e2e_report.sh
source "$(dirname "$0")/e2e_report.sh"
app_pid=""
events_pid=""
trap 'stop_pids events_pid app_pid' EXIT
# Runs the client; its output (without Wine's CR) goes to $out/NAME.log and is echoed.
run_client() { # name, client arguments...
  local name="$1" status=0
  shift
  timeout 60 "$wine" "$client" "$@" >"$out/$name.log" 2>&1 || status=$?
  sed -i 's/\r$//' "$out/$name.log"
  cat "$out/$name.log"
  return "$status"
}
expect_line() { # log name, exact line
  grep -qxF -- "$2" "$out/$1.log" || { echo "missing in $1: $2"; return 1; }
}
# Fails unless every pattern (an extended regular expression) matches a line of the log.
expect_matches() { # log name, patterns...
  local name="$1" result=0
  shift
  for pattern in "$@"; do
    grep -qE -- "$pattern" "$out/$name.log" || { echo "no line in $name matches: $pattern"; result=1; }
  done
  return "$result"
}

"$xtool" paint-root
"$xtool" move 300 300
"$wine" "$exe" >"$out/lentaro.log" 2>&1 &
app_pid=$!
# Wine's start-up takes a few seconds: wait for the view to show the screen.
for _ in $(seq 1 450); do "$xtool" check-view 300 300 >/dev/null 2>&1 && break; sleep 0.2; done

status=0
run_client tree tree || status=$?
for line in \
  "children 6" \
  "accessible-children 1 2 3 4 5 6"; do expect_line tree "$line" || status=1; done
# Roles, states, names, values and actions; the places differ with the window manager's frame.
expect_matches tree \
  "^client role=client state=focusable name='Lentaro' " \
  "^child 1 role=graphic state=- name='Magnified view' value='' shortcut='' action='' at=[0-9]+,[0-9]+,248,220$" \
  "^child 2 role=text state=- name='Zoom Power:' " \
  "^child 3 role=editable state=focusable,focused name='Zoom Power' value='200%' shortcut='' action='' " \
  "^child 4 role=text state=- name='Crosshair Size:' " \
  "^child 5 role=editable state=focusable name='Crosshair Size' value='20 pixels' " \
  "^child 6 role=button state=focusable name='Exit' value='' shortcut='' action='Press' at=[0-9]+,[0-9]+,85,21$" ||
  status=1
report "the client reads the tree: roles, names, values, states" "$status"

status=0
run_client focus focus && expect_line focus "focus 'Zoom Power'" || status=1
run_client caret caret || status=1
grep -qE "^caret role=caret hr=0x00000000 at=[0-9]+,[0-9]+,1,[0-9]+$" "$out/caret.log" || status=1
report "focus and caret as the client finds them" "$status"

# Events while the user works: Tab to the crosshair size, empty it and type 7 (a 7-pixel crosshair
# from the next drawing on).
status=0
timeout 60 "$wine" "$client" events 6 >"$out/events.log" 2>&1 &
events_pid=$!
for _ in $(seq 1 50); do grep -q listening "$out/events.log" 2>/dev/null && break; sleep 0.1; done
"$xtool" keys Tab BackSpace 7
wait "$events_pid" || status=$?
events_pid=""
sed -i 's/\r$//' "$out/events.log"
cat "$out/events.log"
expect_line events "event focus object=-4 child=5 'Crosshair Size'" || status=1
grep -qE "^event value object=-4 child=5 'Crosshair Size'$" "$out/events.log" || { echo "no value event"; status=1; }
grep -qE "^event location object=-8 child=0 'caret'$" "$out/events.log" || { echo "no caret event"; status=1; }
report "focus, value and caret events follow typing" "$status"

status=0
run_client set-value set-value "Zoom Power" 300 || status=$?
expect_line set-value "put_accValue '300' hr=0x00000000 value now '300%'" || status=1
for _ in $(seq 1 50); do "$xtool" check-view 300 300 --zoom=300 --crosshair=7 >"$out/view.log" 2>&1 && break; sleep 0.2; done
"$xtool" check-view 300 300 --zoom=300 --crosshair=7 --ppm="$out/screen-value.ppm" || status=1
report "put_accValue 300 changes the zoom power and the view" "$status"

status=0
run_client hostile hostile || status=$?
report "hostile calls get E_INVALIDARG and refused text changes nothing" "$status"

# The pop-up menu's own window answers for itself: a menu of two items that open submenus.
status=0
run_client menu menu || status=$?
expect_matches menu \
  "^client role=menu state=- name='Context' " \
  "^children 2$" \
  "^child 1 role=menuitem state=focusable name='Crosshair' value='' shortcut='C' action='Open' " \
  "^child 2 role=menuitem state=focusable name='Crosshair Color' value='' shortcut='R' action='Open' " \
  "^menu closed$" || status=1
report "the pop-up menu reads as a menu of items and closes" "$status"

status=0
run_client press press Exit || status=$?
for _ in $(seq 1 300); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "lentaro.exe still runs after Exit was pressed"
  status=1
else
  code=0
  wait "$app_pid" || code=$?
  app_pid=""
  echo "exit code $code"
  [ "$code" -eq 0 ] || status=1
fi
report "accDoDefaultAction on Exit ends the program with 0; the held object then fails safely" "$status"

finish_report
