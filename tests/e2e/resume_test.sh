#!/usr/bin/env bash
# The real tavrorun -A with resume=24, killed with SIGKILL three times: once after its 10:00
# launches, once in the middle of the catch-up burst two hours later, and once more; at the end
# every task slot from 09:45 on was launched exactly once, the report of 11:00 (in the first
# downtime) once, no pump slot twice, and each start said what the time without a launcher missed.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
copy_programs demojob
export TZ=UTC
job="exename=$work/jobs/demojob"
printf '%s\n' "[program]" "mod=kord" "resume=24" "[pumps]" "count=1" "[pump_1]" "launchperiod=15" "phase=0" "$job" \
  "source=S1" "target=T1" "tagfile=tags.txt" "[tasks]" "count=1" "[task_1]" "launchperiod=15" "phase=0" \
  "intervallength=15" "$job" "taskname=quarter" "[reports]" "count=1" "$job" "[report_1]" "hour=11" "minute=0" \
  "template=eleven" >"$work/tavrorun.ini"
log="$work/tavrorun.007.txt"
launches() { grep -F " launched successfully" "$log" 2>/dev/null | grep -cF "$1"; }
launched() { [[ "$(launches "$1")" -ge 1 ]]; }
# run START SPEED PAUSE FAILURE COMMAND...: the launcher from START at SPEED times real time, killed
# PAUSE seconds after COMMAND succeeds (the job times are written after each launch decision: a
# kill a second after a launch repeats nothing).
run() {
  start_launcher "$1" "$2"
  wait_until 120 "${@:5}" || fail "$4"
  sleep "$3"
  kill -9 "$launcher"
  wait "$launcher" 2>/dev/null
  launcher=
}

run "2026-12-07 09:59:30" 60 1 "the first task slot was not launched" grep -qF "07.12.2026+09.45" "$log"
# Two hours later the task catches up one slot a tick, from 10:00: slowly enough to be killed after
# three of them.
run "2026-12-07 12:10:00" 5 0 "the catch-up burst did not come" launched "quarter 07.12.2026+10.30"
for text in "Not running from 2026.12.07 10:0" ", report 1 (07.12.2026)" "They are caught up as after a stop"; do
  expect_in "$log" "$text"
done
run "2026-12-07 12:30:00" 60 1 "the catch-up after the second kill did not end" grep -qF "07.12.2026+12.15" "$log"

for slot in 09.45 {10,11}.{00,15,30,45} 12.00 12.15; do
  [[ "$(launches "quarter 07.12.2026+$slot")" == 1 ]] || fail "task slot $slot launched $(launches "07.12.2026+$slot") times"
done
[[ "$(launches "A:eleven")" == 1 ]] || fail "the 11:00 report of the downtime launched $(launches "A:eleven") times"
duplicates=$(grep -F " launched successfully" "$log" | grep -F "/d1=" | cut -f2 | sort | uniq -d)
[[ -z "$duplicates" ]] || fail "pump slots launched twice: $duplicates"

# The checker tells the same from the journal: nothing of the task or the report missed, and each
# task slot launched once.
span=(--ini "$work/tavrorun.ini" --since "2026-12-07 09:40:00" --until "2026-12-07 12:40:00")
"$bin/tavrocheck" "${span[@]}" --missed --job task 1 >"$work/missed.txt" 2>&1
expect_in "$work/missed.txt" "# 0 missed slots"
"$bin/tavrocheck" "${span[@]}" --history --job task 1 >"$work/history.txt" 2>&1
for slot in 09:45 10:00 10:30 11:15 12:00 12:15; do
  [[ "$(grep -cP "\ttask 1\t2026-12-07T$slot:00\+00:00\tlaunched\t" "$work/history.txt")" == 1 ]] ||
    fail "the history has not task 1's $slot slot launched once"
done
"$bin/tavrocheck" "${span[@]}" --history >"$work/all.txt" 2>&1
expect_in "$work/all.txt" "killed"
# The pump's missed slots of the first downtime, launched again on demand.
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --rerun --missed --job pump 1 --since "2026-12-07 10:20:00" \
  --until "2026-12-07 11:05:00" >"$work/rerun.txt" 2>&1 || fail "the re-run of the missed slots failed"
for slot in 10:30 10:45 11:00; do
  expect_count "$work/rerun.txt" "Re-run: $work/jobs/demojob  /A=PUMP /d1=07.12.2026+$slot" 1
done
finish "resume end-to-end" "$log" "$work/missed.txt" "$work/history.txt"
