# Shared by the Wine end-to-end scripts (sourced): counts and prints each check, ends the programs
# whose PIDs the script keeps in the variables it names, and gives the run's result.
passed=0
failed=0
report() { # name, status
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "PASS $1"; else failed=$((failed + 1)); echo "FAIL $1"; fi
}
# Ends every process whose PID one of the named variables holds (empty ones are skipped).
stop_pids() { # variable names
  local name pid
  for name in "$@"; do
    pid="${!name}"
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  done
}
# The summary line, and the exit status: success only when nothing failed.
finish_report() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
