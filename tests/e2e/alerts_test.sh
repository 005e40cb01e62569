#!/usr/bin/env bash
# Alerts and metrics end to end: the real tavrorun -A under an accelerated clock (ten times real
# speed) with a pump whose program is missing and a task whose program exits 3, and an alert
# program that appends its arguments to a file. Each event reaches it once (alertquiet keeps the
# later ones back), and so does a second launcher's refusal; once the launcher has ended, the metrics file is in the exposition format and
# its counts agree with the log.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
work=$(mktemp -d)
launcher=
trap '[[ -n "$launcher" ]] && kill -9 "$launcher" 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/helpers.sh"
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -n 1)

mkdir -p "$work/jobs" "$work/alert"
cp "$bin/tavrorun" "$work/"
cp "$bin/exitwith" "$work/jobs/"
cp "$bin/argrecorder" "$work/alert/"
cat >"$work/tavrorun.ini" <<INI
[program]
mod=kord
alert=$work/alert/argrecorder --append=alerts.txt
alertquiet=1440
[pumps]
count=1
[pump_1]
launchperiod=1
phase=0
exename=$work/jobs/missing
source=S1
target=T1
tagfile=tags.txt
[tasks]
count=1
[task_1]
launchperiod=1
phase=0
exename=$work/jobs/exitwith
taskname=3
INI
log="$work/tavrorun.007.txt"
alerts="$work/alert/alerts.txt"

(cd "$work" && LD_PRELOAD=$libfaketime FAKETIME="@2026-12-07 10:19:30 x10" exec ./tavrorun -A) \
  >"$work/stdout.txt" 2>&1 &
launcher=$!
wait_until 120 grep -q "^run-failed" "$alerts" || fail "no alert of the failed run"
wait_until 60 grep -q "^launch-failed" "$alerts" || fail "no alert of the failed launch"
# A few more failed slots of each, which alertquiet keeps from the alert program.
failed_launches() { (($(grep -c "launch failed" "$log") >= 3)); }
wait_until 120 failed_launches || fail "fewer than three failed launches"
# A second launcher is refused, and says so to the alert program of the configuration beside it.
(cd "$work" && ./tavrorun -A) >/dev/null 2>&1 && fail "a second launcher ran"
wait_until 30 grep -q "^second-launcher" "$alerts" || fail "no alert of the second launcher"
kill -TERM "$launcher"
wait "$launcher" 2>/dev/null
launcher=

expect_count "$alerts" $'second-launcher\t-\tProgram is already running' 1
expect_count "$alerts" $'launch-failed\tpump 1\t'"$work/jobs/missing "  1
expect_count "$alerts" $'run-failed\ttask 1\t'"$work/jobs/exitwith 3 " 1
expect_in "$alerts" " ended with exit code 3 after "
[[ $(wc -l <"$alerts") -eq 3 ]] || fail "alerts beside the three: $(cat "$alerts")"

python3 "$(dirname "$0")/prom_check.py" "$work/tavrorun.prom" >"$work/series.txt" || fail "the metrics file does not parse"
series() { awk -v key="$1" '$1 == key { print $2 }' "$work/series.txt"; }
[[ "$(series 'tavro_job_failed_launches_total{kind="pump",number="1"}')" == "$(grep -c "missing .* launch failed" "$log")" ]] ||
  fail "failed launches: metrics $(series 'tavro_job_failed_launches_total{kind="pump",number="1"}'), log $(grep -c "launch failed" "$log")"
[[ "$(series 'tavro_job_launches_total{kind="task",number="1"}')" == "$(grep -c "exitwith 3 .* launched successfully" "$log")" ]] ||
  fail "launches of the task do not agree with the log"
[[ "$(series 'tavro_job_last_exit_code{kind="task",number="1"}')" == 3 ]] || fail "no last exit code 3"
[[ "$(series 'tavro_launcher_running{}')" == 0 && "$(series 'tavro_readings_total{verdict="valid"}')" -ge 1 ]] ||
  fail "the launcher's metrics: $(grep tavro_launcher_running "$work/series.txt")"

finish "alerts and metrics end-to-end" "$log" "$alerts" "$work/tavrorun.prom" "$work/stdout.txt"
