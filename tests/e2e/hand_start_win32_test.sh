#!/usr/bin/env bash
# The registered service's executable started by hand (Windows build, under wine): it takes the
# service path, the dispatcher cannot connect to the service manager (wine says so after about ten
# seconds), the system's text for that goes to the event log, and the process ends, leaving only
# the start-up entries in its log. Wine's event log is a stub that prints its entries on the
# error channel "eventlog", which this test reads.
# Arguments: the build's bin folder and its wine runner.
set -euo pipefail
bin=$1
run=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin/tavrorun.exe" "$work/"
printf '[program]\r\nmod=kord\r\n[batches]\r\ncount=1\r\n[batch_1]\r\ntype=0\r\nphase=10\r\nexename=C:\\jobs\\batch.exe\r\ntaskname=Daily\r\n' \
  >"$work/tavrorun.ini"
# One batch file, so that one wine session holds from the install to the removal: a new session
# would start the registered (automatic) service by itself.
printf '%s\r\n' \
  'sc delete TavroRunner >nul' \
  'tavrorun.exe -install -silent' \
  'tavrorun.exe' \
  'echo hand start ended with %ERRORLEVEL%' \
  'sc delete TavroRunner' >"$work/hand_start.bat"

cd "$work"
WINEDEBUG=-all,err+eventlog "$run" cmd /c hand_start.bat >out.txt 2>err.txt &
session=$!
# A box would keep the hand start from ending: after a generous deadline it is ended, and the test fails.
for ((waited = 0; waited < 120; waited++)); do
  kill -0 "$session" 2>/dev/null || break
  sleep 1
done
if kill -0 "$session" 2>/dev/null; then
  "$run" taskkill /f /im tavrorun.exe >/dev/null 2>&1 || true
  wait "$session" || true
  echo "FAIL: the hand start did not end by itself"
  exit 1
fi
wait "$session" || true

fail=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; fail=1; fi
}
log_entries() { cat tavrorun.0*.txt | tr -d '\r' | cut -f2- | grep -E "$1" || true; }

check "the hand start ends with exit code 0" grep -q 'hand start ended with 0' out.txt
check "the dispatcher's failure is in the event log" \
  grep -q 'err:eventlog:ReportEventW L"Service controller connect failed"' err.txt
expected=$'Starting program...\nServiceStartName SYSTEM\nStart as Service\nStarting program...'
check "the log holds the install's and the service path's start-up entries, and nothing of a service start" \
  test "$(log_entries '^(Starting program\.\.\.|ServiceStartName|Start as|Service is|Starting$)')" = "$expected"
check "the process's user is logged" test -n "$(log_entries '^UserName .')"
if ((fail)); then
  echo "--- stdout"; cat out.txt
  echo "--- stderr"; cat err.txt
  echo "--- log"; cat tavrorun.0*.txt
fi
exit $fail
