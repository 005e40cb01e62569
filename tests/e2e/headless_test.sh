#!/usr/bin/env bash
# tavrorun without a window, driven by signals as an engineer or a script does: the enabling rule
# runs between ticks (an automatic Stop is logged once, not at every tick), a refused command says
# so on stderr, and every log entry is also written to stderr, one LF-ended line each.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
# How many entries of the log are exactly this message (the first line of an entry).
entries() { grep -cF -- $'\t'"$1"$'\r' "$log" 2>/dev/null; }
# Waits (up to 60 s) until the log holds the entry at least N times.
wait_for() {  # message, N
  for _ in $(seq 1 240); do
    (($(entries "$1") >= $2)) && return 0
    sleep 0.25
  done
  fail "the log never held $2 times: $1"
}

copy_programs demojob
jobs="[pumps]
count=1
[pump_1]
launchperiod=60
exename=$work/jobs/demojob
source=S
target=T
tagfile=f.txt"
# The PI API cannot be bound here, so every tick stops the launcher again.
printf '[program]\nmod=pi\n[pi]\napiado=0\n%s\n' "$jobs" >"$work/tavrorun.ini"
log="$work/tavrorun.007.txt"
stderr="$work/stderr.txt"

(cd "$work" && LD_PRELOAD=$libfaketime FAKETIME="@2026-12-07 10:00:20 x10" exec ./tavrorun -A) >/dev/null 2>"$stderr" &
launcher=$!

wait_for "Initialization PI API with error" 3
[[ $(entries "Starting") == 1 && $(entries "Stopped") == 1 ]] ||
  fail "an automatic Stop at every tick: $(entries Stopped) times Stopped"

printf '[program]\nmod=kord\n%s\n' "$jobs" >"$work/tavrorun.ini"
kill -HUP "$launcher"
wait_for "Reading ini..." 3
kill -USR1 "$launcher"
wait_for "Starting" 2
kill -HUP "$launcher"  # refused while running
refusal="tavrorun: ReRead ini refused: the launcher is running"
for _ in $(seq 1 240); do grep -qxF "$refusal" "$stderr" && break; sleep 0.25; done
grep -qxF "$refusal" "$stderr" || fail "no refusal on stderr"
[[ $(entries "Reading ini...") == 3 ]] || fail "a refused ReRead read the file"

kill -TERM "$launcher"
wait "$launcher"
status=$?
[[ $status -eq 0 ]] || fail "exit code $status after SIGTERM"
[[ $(entries "Closing program...") == 1 ]] || fail "no Closing program..."

# Standard error: the version line, then the log's entries as the file has them, LF-ended.
head -n 1 "$stderr" | grep -qE "^Tavro Launcher [0-9.]+, $work/tavrorun$" || fail "no version line first: $(head -n 1 "$stderr")"
if grep -q $'\r' "$stderr"; then fail "CR in standard error"; fi
tr -d '\r' <"$log" | grep -vF "In ini found" >"$work/log-lf.txt"
while IFS= read -r line; do
  grep -qxF -- "$line" "$stderr" || fail "log line not on stderr: $line"
done <"$work/log-lf.txt"

if ((failures > 0)); then
  echo "--- log"; cat "$log"; echo "--- stderr"; cat "$stderr"
  exit 1
fi
echo "headless end-to-end: all checks passed"
