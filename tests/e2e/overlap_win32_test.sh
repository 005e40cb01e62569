#!/usr/bin/env bash
# Overlap policies and run time limits of the Windows build, under wine, on the real clock (a slot
# each minute): a pump with overlap=skip and a task with overlap=wait whose programs run 70 s, past
# their next slot, and a pump with maxruntime=1 whose program starts a child of its own and hangs.
# No two runs of a job at once; the task's slot that waited is launched once the run has ended;
# the job object of the hanging program ends it and its child within 15 s past the minute (the
# child, while it lives, touches a file of its own each second).
# Arguments: the build's bin folder and its wine runner.
set -uo pipefail
bin=$1
run=$2
source "$(dirname "$0")/helpers.sh"
new_work
at_exit='for program in tavrorun overlapjob hangjob; do "$run" taskkill /f /im $program.exe >/dev/null 2>&1; done
  [[ -z $session ]] || wait "$session" 2>/dev/null'
session=
mkdir "$work/jobs" "$work/hang"
cp "$bin/tavrorun.exe" "$work/"
cp "$bin/overlapjob.exe" "$work/jobs/"
cp "$bin/overlapjob.exe" "$work/hang/hangjob.exe"
jobs=$(windows_path "$work/jobs")
hang=$(windows_path "$work/hang")
source "$(dirname "$0")/overlap_ini.sh"
overlap_ini '\r\n' "$jobs\\overlapjob.exe" sleep70 "$hang\\hangjob.exe" hang "$jobs\\overlapjob.exe" /sN=sleep70
log() { cat "$work"/tavrorun.0*.txt 2>/dev/null | tr -d '\r'; }

(cd "$work" && exec "$run" tavrorun.exe -A) >"$work/stdout.txt" 2>&1 &
session=$!

wait_until 150 test -s "$work/hang/pids.txt" || fail "the hanging program did not start"
limit=$((SECONDS + 60))
child=$(head -n 1 "$work/hang/pids.txt" | cut -d' ' -f2 | tr -d '\r')
wait_until 120 eval 'log | grep -qF " ended after 1 min: run time limit"' || fail "the end at the limit was not logged"
# The child is gone once its file stays untouched for 3 s.
wait_until 60 eval '(($(date +%s) - $(stat -c %Y "$work/hang/alive-$child.txt") >= 3))' ||
  fail "the child of the hanging program lives on"
(($(stat -c %Y "$work/hang/alive-$child.txt") - $(date +%s) + SECONDS <= limit + 15)) ||
  fail "the child of the hanging program outlived its limit by more than 15 s"
wait_until 150 eval '(($(grep -c "^end" "$work/jobs/runs.txt") >= 3))' || fail "fewer than 3 runs ended"

runs=$(tr -d '\r' <"$work/jobs/runs.txt")
[[ -z $(grep -F "/tN=T" <<<"$runs" | cut -d' ' -f1 | uniq -d) ]] || fail "two runs of the pump at once"
[[ -z $(grep -vF "/tN=T" <<<"$runs" | cut -d' ' -f1 | uniq -d) ]] || fail "two runs of the task at once"
log >"$work/log.txt"
grep -qE "overlapjob.exe  /A=PUMP .* /sN=sleep70 .* NOT launched: the run started at .* \(process [0-9]+\) still runs" \
  "$work/log.txt" || fail "no skipped slot logged"
grep -qE "overlapjob.exe /sN=sleep70 [0-9.+]+ 1 -NOH -NOE waits: the run started at .* still runs" "$work/log.txt" ||
  fail "no waiting slot logged"
finish "overlap and run time limit under wine" "$work/log.txt" "$work/stdout.txt" "$work/jobs/runs.txt"
