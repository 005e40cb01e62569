#!/usr/bin/env bash
# The real tavrorun -A under an accelerated clock (ten times real speed, from 10:19:30) with a task
# whose program exits 3, one held by a closed gate (PI API mode, fake library) and a pump, logexit
# on: the log tells the exit code, and `tavrocheck --status --json` shows the held gate, the exit
# code and next due times that agree with `--plan` from the moment the status was written; a name in
# Latin-1 and a path with backslashes reach a standard JSON parser as the same texts; a reader that
# holds the status open reads it whole while it is replaced. Once the launcher has ended by SIGTERM,
# the status says so (exit code 6).
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
copy_programs demojob exitwith && cp "$bin/piapi/complete/libpiapi.so" "$work/"
cat >"$work/tavrorun.ini" <<INI
[program]
mod=pi
logexit=1
[pi]
host=plant
[pumps]
count=1
[pump_1]
launchperiod=5
phase=0
exename=$work/jobs/demojob
source=S1
target=T1
tagfile=tags\\plant.txt
[tasks]
count=2
[task_1]
launchperiod=1
phase=0
exename=$work/jobs/exitwith
taskname=3
[task_2]
launchperiod=1
phase=0
exename=$work/jobs/demojob
taskname=Stopped unit $(printf '\xe8')
runningtag=UNIT.STOP
INI
log="$work/tavrorun.007.txt"
status="$work/tavrorun.status"

start_launcher "2026-12-07 10:19:30" 10 TAVRO_FAKE_PIAPI="point.UNIT.STOP=0"
# A reader that holds the status open keeps reading that status, whole, while the launcher replaces it.
wait_until 120 test -s "$status" || fail "no status"
exec 3<"$status"
held=$(cat "$status")
# The end of the first run is learnt at a tick after it: the status then holds it.
wait_until 120 grep -qF '"exitCode": 3' "$status" || fail "no exit code in the status"
[[ "$(cat <&3)" == "$held" ]] || fail "the status a reader held open was written over"
exec 3<&-
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --status --json >"$work/status.json"
running=$?
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --status >"$work/table.txt"
kill -TERM "$launcher"
wait "$launcher" 2>/dev/null
launcher=
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --status >"$work/ended.txt" 2>&1
ended=$?
[[ $running -eq 0 && $ended -eq 6 ]] || fail "tavrocheck --status: $running while running, $ended after (not 0 and 6)"
expect_in "$work/ended.txt" "launcher ended (Exit command)"

expect_in "$log" "$work/jobs/exitwith 3 07.12.2026+10.19 60 -NOH -NOE ended with exit code 3 after"
expect_not_in "$log" "demojob \"Stopped unit $(printf '\xe8')\" 07.12.2026+10.19 60 -NOH -NOE ended"
[[ $(stat -c %a "$status") == 640 && ! -e "$status.tmp" ]] ||
  fail "status file mode $(stat -c %a "$status"), its temporary file $(stat -c %a "$status.tmp" 2>&1)"
expect_in "$work/table.txt" "held by UNIT.STOP (0)"
expect_in "$work/table.txt" "launcher running, program mode"

# Each job's next due time against the first launch that the preview gives from the same moment:
# it comes with the first tick after the due time.
python3 - "$work/status.json" "$bin/tavrocheck" "$work/tavrorun.ini" <<'PY' || fail "status against plan"
import json, subprocess, sys
from datetime import datetime, timedelta
status = json.load(open(sys.argv[1], encoding="utf-8"))
jobs = {(j["kind"], j["number"]): j for j in status["jobs"]}
assert jobs[("task", 1)]["lastEnd"]["exitCode"] == 3, jobs[("task", 1)]
assert jobs[("task", 2)]["result"] == "held" and jobs[("task", 2)]["heldBy"] == "UNIT.STOP", jobs[("task", 2)]
assert jobs[("task", 2)]["name"] == "Stopped unit \u00e8", jobs[("task", 2)]
assert "/fN=tags\\plant.txt" in jobs[("pump", 1)]["command"], jobs[("pump", 1)]
assert status["state"] == "running" and status["reading"]["valid"] is True, status
# Record times carry their offset (ISO 8601); --now and the plan are local.
local = lambda text: text[:19].replace("T", " ")
parse = lambda text: datetime.strptime(local(text), "%Y-%m-%d %H:%M:%S")
assert datetime.fromisoformat(status["written"]).utcoffset() is not None, status["written"]
for (kind, number), job in jobs.items():
    plan = subprocess.run([sys.argv[2], "--ini", sys.argv[3], "--now", local(status["written"]), "--plan", "1",
                           "--job", kind, str(number)], capture_output=True, encoding="latin-1").stdout.split("\n")[0]
    first, due = parse(plan.split("\t")[0]), parse(job["next"])
    assert due < first <= due + timedelta(seconds=30), (kind, number, job["next"], plan)
PY

finish "status end-to-end" "$log" "$work/status.json" "$work/table.txt" "$work/stdout.txt"
