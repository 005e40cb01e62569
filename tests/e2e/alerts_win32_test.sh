#!/usr/bin/env bash
# Alerts and metrics of the Windows build under wine: tavrorun.exe -H in program mode with a pump
# whose program is missing and a task whose program exits 3, and an alert program that appends
# its arguments to a file. Each event reaches it once (alertquiet keeps the later ones back), the
# event log gets them (wine's stub prints its entries on the error channel "eventlog"), and the
# metrics file is in the exposition format with the counts of the run.
# Arguments: the build's bin folder and its wine runner.
set -uo pipefail
bin=$1
run=$2
work=$(mktemp -d)
session=
trap '[[ -n "$session" ]] && { "$run" taskkill /f /im tavrorun.exe >/dev/null 2>&1; wait "$session"; }; rm -rf "$work"' EXIT
source "$(dirname "$0")/helpers.sh"

mkdir -p "$work/jobs" "$work/alert"
cp "$bin/tavrorun.exe" "$work/"
cp "$bin/exitwith.exe" "$work/jobs/"
cp "$bin/argrecorder.exe" "$work/alert/"
windows() { WINEPREFIX=$bin/../wineprefix winepath -w "$1" 2>/dev/null; }
printf '%s\r\n' '[program]' 'mod=kord' "alert=$(windows "$work/alert/argrecorder.exe") --append=alerts.txt" \
  'alertquiet=1440' '[pumps]' 'count=1' '[pump_1]' 'launchperiod=1' 'phase=0' 'exename=C:\missing\pump.exe' \
  'source=S1' 'target=T1' 'tagfile=tags.txt' '[tasks]' 'count=1' '[task_1]' 'launchperiod=1' 'phase=0' \
  "exename=$(windows "$work/jobs/exitwith.exe")" 'taskname=3' >"$work/tavrorun.ini"
alerts="$work/alert/alerts.txt"

(cd "$work" && WINEDEBUG=-all,err+eventlog exec "$run" tavrorun.exe -H) >"$work/out.txt" 2>"$work/err.txt" &
session=$!
wait_until 150 grep -q "^run-failed" "$alerts" || fail "no alert of the failed run"
wait_until 90 grep -q "^launch-failed" "$alerts" || fail "no alert of the failed launch"
# One more failed slot, which alertquiet keeps from the alert program.
failed_launches() { (($(cat "$work"/tavrorun.0*.txt | grep -c "launch failed") >= 2)); }
wait_until 90 failed_launches || fail "fewer than two failed launches"
# The metrics are written after the tick that learnt of the end.
metrics_show_end() {
  python3 "$(dirname "$0")/prom_check.py" "$work/tavrorun.prom" >"$work/series.txt" &&
    grep -qF 'tavro_job_last_exit_code{kind="task",number="1"} 3' "$work/series.txt"
}
wait_until 30 metrics_show_end || fail "no metrics file that parses and shows the exit code 3"
"$run" taskkill /f /im tavrorun.exe >/dev/null 2>&1
wait "$session"
session=

tr -d '\r' <"$alerts" >"$work/alerts.txt"
expect_count "$work/alerts.txt" $'launch-failed\tpump 1\tC:\\missing\\pump.exe ' 1
expect_count "$work/alerts.txt" $'run-failed\ttask 1\t' 1
expect_in "$work/alerts.txt" " ended with exit code 3 after "
[[ $(wc -l <"$work/alerts.txt") -eq 2 ]] || fail "alerts beside the two: $(cat "$work/alerts.txt")"
expect_in "$work/err.txt" "launch failed, return value"
series() { awk -v key="$1" '$1 == key { print $2 }' "$work/series.txt"; }
[[ "$(series 'tavro_job_failed_launches_total{kind="pump",number="1"}')" -ge 1 ]] || fail "no failed launch in the metrics"
[[ "$(series 'tavro_launcher_running{}')" == 1 ]] || fail "the launcher does not run by its metrics"

finish "alerts and metrics under wine" "$work/alerts.txt" "$work/tavrorun.prom" "$work/err.txt" "$work"/tavrorun.0*.txt
