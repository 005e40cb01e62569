#!/usr/bin/env bash
# The real tavrorun -A in Europe/Prague through the spring change (01:52 to past 03:05 on 28 March
# 2027, sixty times real speed): the change is logged once, no program is handed a time of the
# skipped hour, the 02:30 report runs once right after the change, and every launch is one that
# `tavrocheck --plan` predicts in the same zone from the same start.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
copy_programs demojob
export TZ=Europe/Prague
job="exename=$work/jobs/demojob"
printf '%s\n' "[program]" "mod=kord" "[pumps]" "count=1" "[pump_1]" "launchperiod=15" "phase=5" "$job" "source=S1" \
  "target=T1" "tagfile=tags.txt" "[tasks]" "count=2" "[task_1]" "launchperiod=15" "phase=0" "intervallength=15" \
  "$job" "taskname=quarter" "[task_2]" "launchperiod=60" "phase=0" "intervallength=60" "$job" "taskname=hourly" \
  "[reports]" "count=1" "$job" "[report_1]" "hour=2" "minute=30" "template=spring" >"$work/tavrorun.ini"
log="$work/tavrorun.028.txt"
start="2027-03-28 01:52:00"

start_launcher "$start" 60
# The pump's 03:00 slot comes at 03:05: about 13 s of real time after the start.
wait_until 120 grep -qF "/d1=28.03.2027+03:00" "$log" || fail "the launches after the change did not come"
stop_launcher

expect_count "$log" "(daylight saving time began)" 1
expect_in "$log" "The clock moved from 2027.03.28 01:59:"
expect_not_in "$log" "28.03.2027+02"
expect_count "$log" "A:spring launched successfully" 1
expect_in "$log" "task 1: 4 slots from 2027.03.28 02:00:00 to 2027.03.28 02:45:00 not launched"
# Every launch the launcher made is one of the preview's, in order.
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --now "$start" --plan 2 | grep -v '^#' | grep -vP '\tclock\t' |
  cut -f3 >"$work/planned.txt"
grep -F " launched successfully" "$log" | tr -d '\r' | cut -f2 | sed 's/ launched successfully$//' >"$work/launched.txt"
[[ -s "$work/launched.txt" ]] || fail "nothing was launched"
head -n "$(wc -l <"$work/launched.txt")" "$work/planned.txt" | diff - "$work/launched.txt" >"$work/diff.txt" ||
  fail "the launches differ from the preview"
finish "daylight saving end-to-end" "$log" "$work/diff.txt" "$work/stdout.txt"
