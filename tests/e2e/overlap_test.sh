#!/usr/bin/env bash
# Overlap policies and run time limits end to end: the real tavrorun -A under libfaketime at 10
# times real speed (a slot each 6 s), with programs that run past their next slot (sleeps are sped
# up as well: 100 s of theirs are 10 s). overlap=skip never has two runs of its pump at once;
# overlap=wait launches every slot of its task, in order, each once the run before it has ended;
# maxruntime=1 ends a program that hangs, and the child it started that ignores SIGTERM, within 15 s
# past the minute (the limit goes by the real clock).
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
at_exit='cat "$work"/jobs/*.pid 2>/dev/null | xargs -r kill -9 2>/dev/null'
log="$work/tavrorun.007.txt"
copy_programs
for job in skip wait; do
  printf '#!/bin/sh\necho "start $*" >>%s\nsleep 100\necho "end $*" >>%s\n' "$work/jobs/$job.runs" \
    "$work/jobs/$job.runs" >"$work/jobs/$job.sh"
done
# A program that starts a child of its own, which ignores SIGTERM, and waits for it for good.
printf '#!/bin/sh\n(trap "" TERM; exec sleep 100000) &\necho $! >>%s\necho $$ >>%s\nwait\n' \
  "$work/jobs/child.pid" "$work/jobs/parent.pid" >"$work/jobs/hang.sh"
chmod +x "$work"/jobs/*.sh
source "$(dirname "$0")/overlap_ini.sh"
overlap_ini '\n' "$work/jobs/skip.sh" S1 "$work/jobs/hang.sh" S2 "$work/jobs/wait.sh" Slot
start_launcher "2026-12-07 10:00:30" 10

wait_until 60 test -s "$work/jobs/parent.pid" || fail "the hanging program did not start"
limit=$((SECONDS + 60))
parent=$(head -n 1 "$work/jobs/parent.pid")
child=$(head -n 1 "$work/jobs/child.pid")
alive() { [[ -e /proc/$1 ]] && ! grep -q ') Z' "/proc/$1/stat" 2>/dev/null; }
wait_until 120 eval '! alive "$parent" && ! alive "$child"' || fail "the hanging program or its child outlived its limit"
((SECONDS <= limit + 15)) || fail "the hanging program's tree ended $((SECONDS - limit)) s past its limit"
wait_until 30 grep -qF " ended after 1 min: run time limit" "$log" || fail "the end at the limit was not logged"
wait_until 60 eval '(($(grep -c "^end" "$work/jobs/wait.runs") >= 4))' || fail "fewer than 4 runs of the task"
stop_launcher

for job in skip wait; do
  [[ -z $(uniq -d <(cut -d' ' -f1 "$work/jobs/$job.runs")) ]] || fail "two runs of the $job job at once"
done
while IFS='|' read -r file pattern failure; do
  grep -qE "$pattern" "$work/$file" || fail "$failure"
done <<'CHECKS'
tavrorun.007.txt|/hang\.sh  /A=PUMP .* /sN=S2 /tN=T /fN=t\.txt /aV ended after 1 min: run time limit|the end at the limit was logged otherwise
tavrorun.007.txt|/sN=S1 .* NOT launched: the run started at 2026-12-07 [0-9:]+ \(process [0-9]+\) still runs|no skipped slot logged
tavrorun.007.txt|Slot 07\.12\.2026\+[0-9.]+ 1 -NOH -NOE waits: the run started at .* still runs|no waiting slot logged
tavrorun.status|"section": "pump_1".*"skippedOverlaps": [1-9]|no skipped slot counted
tavrorun.status|"section": "pump_2".*"runTimeLimit": true.*"endedByLimit": [1-9]|no end at the limit counted
CHECKS
# Every slot of the task once, in order, none passed over.
slots=$(grep "^start" "$work/jobs/wait.runs" | grep -oE '\+10\.[0-9]{2}' | cut -d. -f2)
expect_consecutive "$slots" "task slot"
finish "overlap and run time limit end-to-end" "$log" "$work/stdout.txt" "$work"/jobs/*.runs
