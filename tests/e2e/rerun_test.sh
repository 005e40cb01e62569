#!/usr/bin/env bash
# tavrocheck --rerun beside a running tavrorun (rerun_checks.sh): yesterday's slots 10:00 to 10:30
# of a task are launched again with their exact command lines, each logged in the launcher's daily
# log as the launcher logs its own launches, marked "Re-run: "; the launcher runs on. A slot not yet
# due and a time that is no slot run nothing, each with its own exit code.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
copy_programs demojob
printf '%s\n' "[program]" "mod=kord" "[tasks]" "count=1" "[task_1]" "launchperiod=15" "phase=2" \
  "intervallength=15" "exename=$work/jobs/demojob" "taskname=Quarter" >"$work/tavrorun.ini"
source "$(dirname "$0")/rerun_checks.sh"
start_launcher
wait_until 60 grep -qF "Starting"$'\r' "$log" || fail "the launcher did not start"

check=("$bin/tavrocheck" --ini "$work/tavrorun.ini")
check_reruns "$work/jobs/demojob Quarter" "folder=$work/jobs  args: [Quarter]"
grep -qE $'\tRe-run asked by tavrocheck \\(process [0-9]+\\): task 1, 3 slots, from ' "$log" || fail "no entry of the re-run"
ended "$launcher" && fail "the launcher ended"
finish "tavrocheck --rerun beside a running launcher" "$log" "$work/rerun.txt" "$work/jobs/demo-output.txt"
