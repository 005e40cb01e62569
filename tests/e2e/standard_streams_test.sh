#!/usr/bin/env bash
# The real tavrorun with standard streams that a shell or a service wrapper can leave it: standard
# error into a pipe whose reader has gone or stopped reading, and standard streams closed. The
# launcher neither dies nor stalls, carries out Exit, and its log file stays complete.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
reader=
at_exit='kill -9 $reader 2>/dev/null'
cp "$bin/tavrorun" "$work/"
log="$work/tavrorun.007.txt"
# A thousand pumps: their first times alone are some 100 kB of entries, more than a pipe holds.
{
  printf '[program]\nmod=kord\n[pumps]\ncount=1000\n'
  for n in $(seq 1 1000); do
    printf '[pump_%d]\nlaunchperiod=1\nphase=0\nexename=/bin/true\nsource=S\ntarget=T\ntagfile=f\n' "$n"
  done
} >"$work/tavrorun.ini"
entries() { grep -cF -- $'\t'"$1"$'\r' "$log" 2>/dev/null; }
launched_or_ended() { grep -qF "launched successfully" "$log" 2>/dev/null || ended "$launcher"; }
start() {  # how the streams are given, as shell redirections
  rm -f "$log"
  eval "(cd '$work' && LD_PRELOAD=$libfaketime FAKETIME='@2026-12-07 10:00:30 x10' exec ./tavrorun -A) $1 &"
  launcher=$!
}
stop() {  # what the case is
  wait_until 60 launched_or_ended
  kill -0 "$launcher" 2>/dev/null || fail "$1: the launcher died"
  kill -TERM "$launcher"
  wait_until 30 ended "$launcher" || { fail "$1: Exit was not carried out"; kill -9 "$launcher"; }
  wait "$launcher"
  local code=$?
  [[ $code -eq 0 ]] || fail "$1: exit code $code"
  [[ $(grep -cF "Last time for pump in pump_1000 set to" "$log") == 1 ]] || fail "$1: the log file is not complete"
  [[ $(entries "Closing program...") == 1 ]] || fail "$1: no Closing program..."
  launcher=
}

# A reader that took one line and went: no death by SIGPIPE.
start "2> >(head -c 10 >/dev/null)"
stop "reader gone"

# A reader that never reads: after the pipe's 64 kB the entries are dropped, not waited on.
mkfifo "$work/stalled"
sleep 600 <"$work/stalled" &
reader=$!
start "2>'$work/stalled'"
stop "reader stalled"
kill "$reader"

# Closed streams are opened on /dev/null, so that the control signals' pipe does not take their
# numbers (echoed lines would arrive as commands). On the real clock: libfaketime would take them.
log="$work/tavrorun.0$(date +%d).txt"
rm -f "$log"
(cd "$work" && exec ./tavrorun -A) <&- 2>&- &
launcher=$!
wait_until 30 grep -qF "Starting"$'\r' "$log" || fail "closed streams: not started"
for fd in 0 2; do
  [[ "$(readlink "/proc/$launcher/fd/$fd")" == /dev/null ]] ||
    fail "closed stream $fd is not /dev/null: $(readlink "/proc/$launcher/fd/$fd")"
done
kill -TERM "$launcher"
wait_until 30 ended "$launcher" || { fail "closed streams: Exit was not carried out"; kill -9 "$launcher"; }
[[ $(entries "Starting") == 1 && $(entries "Closing program...") == 1 ]] || fail "closed streams: the log differs"
launcher=

finish "standard streams" "$log"
