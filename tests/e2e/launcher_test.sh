#!/usr/bin/env bash
# The real tavrorun -A in a folder of its own, under an accelerated clock (libfaketime, 10 times
# real speed) from 23:59 to past 00:01: first times and catch-up, every kind of launch with its exact
# arguments and working folder, the change of log file at midnight with the stale file cleared, the
# hourly re-reading, the single-instance refusal and Exit on SIGTERM. Ten simulated seconds are one
# real second, so a busy machine does not make the ticks miss the first seconds of the day; the
# next launches after the last one checked come a quarter of an hour later.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
copy_programs demojob
cat >"$work/tavrorun.ini" <<INI
[program]
mod=KORD
[pumps]
count=1
[pump_1]
launchperiod=15
phase=1
intervallength=15
exename=$work/jobs/demojob
source=S1
target=T1
tagfile=tags.txt
[batches]
count=1
[batch_1]
type=0
phase=1
margins=3
exename=$work/jobs/demojob
taskname=Daily
[tasks]
count=2
[task_1]
launchperiod=15
phase=1
intervallength=15
exename="$work/jobs/demojob"
taskname=My "big" task
runningtag=UNIT1.RUN
[task_2]
launchperiod=120
phase=70
intervallength=60
exename=$work/jobs/demojob
taskname=Shift totals
exporttohistory=1
exporttoexternal=1
kordden=1
[reports]
count=1
exename=$work/jobs/demojob
[report_1]
hour=0
minute=1
template=nightly
INI
log7="$work/tavrorun.007.txt"
log8="$work/tavrorun.008.txt"
printf 'stale entry of an earlier month\r\n' >"$log8"
touch -d '2026-11-08 12:00' "$log8"
output="$work/jobs/demo-output.txt"

# The library itself rather than the faketime wrapper, so that the process signalled below is the
# launcher and not a wrapper around it.
start_launcher "2026-12-07 23:59:00" 10

# The refusal of a second instance while the first runs (it holds the lock before its first entry):
# a message naming the running one, exit code 1, nothing logged.
wait_until 30 grep -qF "Start as Program" "$log7" || fail "the launcher did not start"
second=$("$work/tavrorun" -A 2>&1)
second_status=$?
[[ "$second" == "Program is already running (process $launcher)" && $second_status -eq 1 ]] ||
  fail "second instance: status $second_status, said: $second"

# The last of the day's catch-up runs of task 2 comes at 00:01:2x of the 8th: about 15 s of real time.
last_launch() { grep -qF "[Shift totals] [07.12.2026+22.00]" "$output" 2>/dev/null || ended "$launcher"; }
wait_until 120 last_launch || fail "the launches did not come"
stop_launcher "" 10

# The day before midnight.
expect_count "$log7" "Start as Program" 1
expect_in "$log7" "Starting program..."
expect_in "$log7" "Tasks in ini O.K."
expect_in "$log7" "Last time for pump in pump_1 set to 2026-12-07 23:31:00"
expect_in "$log7" "Last time for task in task_1  set to 2026-12-07 23:30:00"
expect_in "$log7" "Last time for task in task_2  set to 2026-12-07 01:10:00"
expect_in "$log7" "Last time for batch_1 set to 2026-12-07 00:01:00"
expect_in "$log7" "Starting"
expect_in "$log7" "Last time for pump 1 set to 2026-12-07 23:46:00"
expect_in "$log7" "$work/jobs/demojob \"My \"\"big\"\" task\" 07.12.2026+23.45 15 -NOH -NOE launched successfully"

# The new day's file: the stale content is gone, the hourly reading and the launches are there.
if grep -qF "stale entry" "$log8"; then fail "the stale log file of the 8th was not cleared"; fi
# The first tick of the hour reads, and none later.
readings=$(grep -cF "Reading ini..." "$log8")
((readings == 1)) || fail "tavrorun.008.txt has $readings readings (not 1)"
if grep -F "Reading ini..." "$log8" | grep -qvE "^2026\.12\.08 00:00:(0[0-9]|10)"$'\t'; then
  fail "re-reading outside second 0-10 of the hour"
fi
expect_in "$log8" "batch 1 next 2026-12-09 00:01:00"
expect_in "$log8" "Closing program..."

# What the started programs received, and where.
expect_count "$output" "folder=$work/jobs " 17
for slot in 07.12.2026+23:45 08.12.2026+00:00; do
  expect_in "$output" "args: [/A=PUMP] [/d1=$slot] [/d2=$slot] [/tS=15] [/sN=S1] [/tN=T1] [/fN=tags.txt] [/aV]"
done
expect_count "$output" "[/A=PUMP]" 2
for slot in 07.12.2026+23.45 08.12.2026+00.00; do
  expect_in "$output" "args: [My \"big\" task] [$slot] [15] [-NOH] [-NOE]"
done
expect_count "$output" "[My \"big\" task]" 2
for hour in 02 04 06 08 10 12 14 16 18 20 22; do
  expect_in "$output" "args: [Shift totals] [07.12.2026+$hour.00] [60] [-KORDD]"
done
expect_count "$output" "[Shift totals]" 11
expect_count "$output" "args: [/A=AC] [/tn=Daily] [/d1=07.12.2026+00.00] [/d2=08.12.2026+00.00] [/dS=60] [/nH] [/nE]" 1
expect_count "$output" "args: [A:nightly]" 1

if ((failures > 0)); then
  echo "--- $log7"; cat "$log7"; echo "--- $log8"; cat "$log8"; echo "--- $output"; cat "$output"
  echo "--- stdout"; cat "$work/stdout.txt"
  exit 1
fi
echo "launcher end-to-end: all checks passed"
