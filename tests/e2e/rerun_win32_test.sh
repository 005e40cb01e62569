#!/usr/bin/env bash
# tavrocheck --rerun of the Windows build (under wine): yesterday's slots 10:00 to 10:30 of a task
# are started through CreateProcess with their exact command lines, each logged in the launcher's
# daily log beside the file as the launcher logs its launches, marked "Re-run: ".
# Arguments: the build's bin folder and its wine runner.
set -uo pipefail
bin=$1
run=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/helpers.sh"
mkdir "$work/jobs" && cp "$bin/demojob.exe" "$work/jobs/"
job=$("$run" winepath -w "$work/jobs/demojob.exe" 2>/dev/null)  # wine-run makes the prefix first
printf '%s\r\n' '[program]' 'mod=kord' '[tasks]' 'count=1' '[task_1]' 'launchperiod=15' 'phase=2' \
  'intervallength=15' "exename=$job" 'taskname=Quarter hour' >"$work/tavrorun.ini"
ini=$("$run" winepath -w "$work/tavrorun.ini" 2>/dev/null)

day=$(date -d yesterday +%Y-%m-%d)
slot=$(date -d yesterday +%d.%m.%Y)
"$run" "$bin/tavrocheck.exe" --ini "$ini" --rerun --job task 1 --since "$day 10:00:00" --until "$day 10:30:00" \
  >"$work/rerun.txt" 2>&1 || fail "the re-run ended with $?"
wait_until 60 eval '(($(grep -cF "[$slot+10." "$work/jobs/demo-output.txt" 2>/dev/null) == 3))' ||
  fail "not 3 programs ran"
log="$work/tavrorun.0$(date +%d).txt"
for minute in 00 15 30; do
  expect_count "$work/jobs/demo-output.txt" "args: [Quarter hour] [$slot+10.$minute] [15] [-NOH] [-NOE]" 1
done
expect_order "$log" "Re-run asked by tavrocheck (process " \
  $'\tRe-run: '"$job \"Quarter hour\" $slot+10.00 15 -NOH -NOE launched successfully"$'\r' \
  $'\tRe-run: '"$job \"Quarter hour\" $slot+10.15 15 -NOH -NOE launched successfully"$'\r' \
  $'\tRe-run: '"$job \"Quarter hour\" $slot+10.30 15 -NOH -NOE launched successfully"$'\r'
"$run" "$bin/tavrocheck.exe" --ini "$ini" --rerun --job task 1 --slot "$(date -d tomorrow +%F) 10:00:00" >/dev/null 2>&1
[[ $? == 9 ]] || fail "a slot of tomorrow did not end with 9"
expect_count "$log" "Re-run asked by tavrocheck" 1
finish "tavrocheck --rerun under wine" "$log" "$work/rerun.txt" "$work/jobs/demo-output.txt"
