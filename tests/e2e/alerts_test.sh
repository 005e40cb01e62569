#!/usr/bin/env bash
# Alerts and metrics end to end: the real tavrorun -A under an accelerated clock (ten times real
# speed), gating on a real PostgreSQL (SQL Server mode), with an alert program that appends its
# arguments to a file. A first run leaves its job times; the second, started five minutes later,
# meets every event once: slots missed at its start, a pump whose program is missing, a task that
# exits 3, one that hangs past its run time limit, a second launcher refused, a reading with
# errors that stops it, the mended file that starts it again, the server lost and back. alertquiet
# keeps the later ones of each back. Then the metrics file is in the exposition format, and its
# counts agree with tavrocheck --history and --missed.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
source "$(dirname "$0")/helpers.sh"
beside_postgres "$@"
new_work
copy_programs exitwith
mkdir "$work/alert" && cp "$bin/argrecorder" "$work/alert/" && cp "$bin/tavrocheck" "$work/"
printf '#!/bin/sh\nexec sleep 6000\n' >"$work/jobs/hang.sh" && chmod +x "$work/jobs/hang.sh"
printf '%s\n' "[program]" "mod=mssql" "alert=$work/alert/argrecorder --append=alerts.txt" "alertquiet=1440" \
  "[mssql]" "host=127.0.0.1" "user=$TAVRO_PG_USER" "password=$TAVRO_PG_PASSWORD" "database=$TAVRO_PG_DATABASE" \
  "table=pd" "tagcolumn=tag" "timecolumn=ts" "valuecolumn=val" "driver=PostgreSQL Unicode" \
  "odbc=Port=$TAVRO_PG_PORT" "[pumps]" "count=1" "[pump_1]" "launchperiod=1" "phase=0" \
  "exename=$work/jobs/missing" "source=S1" "target=T1" "tagfile=tags.txt" "[tasks]" "count=2" "[task_1]" \
  "launchperiod=1" "phase=0" "intervallength=15" "exename=$work/jobs/exitwith" "taskname=3" \
  "runningtag=UNIT1.RUN" "[task_2]" "launchperiod=60" "phase=57" "intervallength=15" "maxruntime=1" \
  "exename=$work/jobs/hang.sh" "taskname=Hang" "runningtag=UNIT1.RUN" >"$work/tavrorun.ini"
log="$work/tavrorun.007.txt"
alerts="$work/alert/alerts.txt"
server() { touch "$TAVRO_PG_CONTROL/$1" && wait_until 60 test ! -e "$TAVRO_PG_CONTROL/$1"; }
alerted() { wait_until "${2:-120}" grep -q "^$1" "$alerts" || fail "no alert $1"; }

start_launcher "2026-12-07 10:50:30" 10
alerted launch-failed
stop_launcher "the first run"
mv "$alerts" "$work/first-alerts.txt"

start_launcher "2026-12-07 10:56:30" 10
alerted slots-missed 60
alerted run-failed
(cd "$work" && ./tavrorun -A) >/dev/null 2>&1 && fail "a second launcher ran"
alerted second-launcher 30
cp "$work/tavrorun.ini" "$work/good.ini"
sed -i 's/^launchperiod=60$/launchperiod=0/' "$work/tavrorun.ini"
alerted stopped  # by the hourly reading at 11:00
cp "$work/good.ini" "$work/tavrorun.ini" && kill -HUP "$launcher"
alerted started-again 60
server stop || fail "the server did not stop"
alerted source-lost
server start || fail "the server did not start"
alerted source-back
alerted run-limit  # a minute of real time after the launch: the limit does not follow the fake clock
stop_launcher "the second run"

for event in $'slots-missed\t-\tNot running from ' $'launch-failed\tpump 1\t'"$work/jobs/missing " \
  $'run-failed\ttask 1\t'"$work/jobs/exitwith 3 " $'second-launcher\t-\tProgram is already running' \
  $'run-limit\ttask 2\t'"$work/jobs/hang.sh Hang " $'ini-errors\t-\tIn ini found these errors:' \
  $'stopped\t-\tStopped: ' $'started-again\t-\tIni valid again: starting' \
  $'source-lost\t-\tMSSQL cannot be reached' $'source-back\t-\tMSSQL answers again'; do
  expect_count "$alerts" "$event" 1
done
[[ $(grep -cE $'^[a-z-]+\t' "$alerts") -eq 10 ]] || fail "alerts beside the ten: $(cat "$alerts")"
expect_in "$alerts" " ended with exit code 3 after "

python3 "$(dirname "$0")/prom_check.py" "$work/tavrorun.prom" >"$work/series.txt" || fail "the metrics file does not parse"
series() { awk -v key="tavro_$1" '$1 == key { print $2 }' "$work/series.txt"; }
(cd "$work" && ./tavrocheck --now "2026-12-07 12:00:00" --history --since "2026-12-07 10:56:30") >"$work/history.txt"
(cd "$work" && ./tavrocheck --now "2026-12-07 12:00:00" --missed --until "2026-12-07 10:56:30") >"$work/missed.txt"
in_history() { grep -cP "\t$1\t.*\t$2" "$work/history.txt"; }
while IFS='|' read -r metric counted; do
  [[ "$(series "$metric")" == "$counted" ]] || fail "metrics $metric $(series "$metric"), history $counted"
done <<EOF
job_failed_launches_total{kind="pump",number="1"}|$(in_history "pump 1" "launch failed")
job_launches_total{kind="task",number="1"}|$(in_history "task 1" "launched")
job_limit_ends_total{kind="task",number="2"}|$(grep -c "hang.sh Hang .* ended after 1 min: run time limit" "$log")
job_missed_slots_total{kind="pump",number="1"}|$(grep -cP "\tpump 1\tmissed: " "$work/missed.txt")
job_missed_slots_total{kind="task",number="1"}|$(grep -cP "\ttask 1\tmissed: " "$work/missed.txt")
job_last_exit_code{kind="task",number="1"}|3
launcher_running{}|0
source_reachable{}|1
EOF
(($(series 'readings_total{verdict="errors"}') >= 1)) || fail "no reading with errors counted"

finish "alerts and metrics end-to-end" "$log" "$alerts" "$work/tavrorun.prom" "$work/history.txt" "$work/stdout.txt"
