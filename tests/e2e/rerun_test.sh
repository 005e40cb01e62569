#!/usr/bin/env bash
# tavrocheck --rerun beside a running tavrorun: yesterday's slots 10:00 to 10:30 of a task are
# launched again with their exact command lines, each logged in the launcher's daily log as the
# launcher logs its own launches, marked "Re-run: "; the launcher runs on. A slot not yet due and a
# time that is no slot run nothing, each with its own exit code.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
work=$(mktemp -d)
launcher=
trap 'kill -9 "$launcher" 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/helpers.sh"
mkdir "$work/jobs" && cp "$bin/tavrorun" "$work/" && cp "$bin/demojob" "$work/jobs/"
printf '%s\n' "[program]" "mod=kord" "[tasks]" "count=1" "[task_1]" "launchperiod=15" "phase=2" \
  "intervallength=15" "exename=$work/jobs/demojob" "taskname=Quarter" >"$work/tavrorun.ini"
(cd "$work" && exec ./tavrorun -A) </dev/null >"$work/stdout.txt" 2>&1 &
launcher=$!
log="$work/tavrorun.0$(date +%d).txt"
wait_until 60 grep -qF "Starting"$'\r' "$log" || fail "the launcher did not start"

day=$(date -d yesterday +%Y-%m-%d)
slot=$(date -d yesterday +%d.%m.%Y)
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --rerun --job task 1 --since "$day 10:00:00" --until "$day 10:30:00" \
  >"$work/rerun.txt" 2>&1 || fail "the re-run ended with $?"
wait_until 30 eval '(($(grep -cF "[$slot+10." "$work/jobs/demo-output.txt") == 3))' || fail "not 3 programs ran"
for minute in 00 15 30; do
  expect_count "$work/jobs/demo-output.txt" "folder=$work/jobs  args: [Quarter] [$slot+10.$minute] [15] [-NOH] [-NOE]" 1
done
grep -qE $'\tRe-run asked by tavrocheck \\(process [0-9]+\\): task 1, 3 slots, from ' "$log" || fail "no entry of the re-run"
expect_order "$log" "Re-run asked by tavrocheck" \
  $'\tRe-run: '"$work/jobs/demojob Quarter $slot+10.00 15 -NOH -NOE launched successfully"$'\r' \
  $'\tRe-run: '"$work/jobs/demojob Quarter $slot+10.15 15 -NOH -NOE launched successfully"$'\r' \
  $'\tRe-run: '"$work/jobs/demojob Quarter $slot+10.30 15 -NOH -NOE launched successfully"$'\r'
expect_in "$work/rerun.txt" "Re-run: $work/jobs/demojob Quarter $slot+10.30 15 -NOH -NOE launched successfully"
ended "$launcher" && fail "the launcher ended"

# Refused, with nothing run: tomorrow's slot, and a time between two slots.
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --rerun --job task 1 --slot "$(date -d tomorrow +%F) 10:00:00" >/dev/null 2>&1
[[ $? == 9 ]] || fail "a slot of tomorrow did not end with 9"
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --rerun --job task 1 --slot "$day 10:07:00" >/dev/null 2>&1
[[ $? == 10 ]] || fail "a time between slots did not end with 10"
expect_count "$log" "Re-run asked by tavrocheck" 1
finish "tavrocheck --rerun beside a running launcher" "$log" "$work/rerun.txt" "$work/jobs/demo-output.txt"
