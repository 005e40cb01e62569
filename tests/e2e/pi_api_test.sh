#!/usr/bin/env bash
# The real tavrorun -A in PI API mode, gating its tasks on values read through the fake PI API
# library (libpiapi.so beside the executable), under an accelerated clock: a task whose tag is
# above 0 is launched with its exact arguments, one at 0 and one the server does not know are not;
# the calls reach the library with the configured server, user, password and the slot's PI time;
# the password never reaches the log. The first slot after the start is 10:00. Then the same
# launcher without the library, and with one that lacks two entry points: the report at every tick,
# and the launcher stopped.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work

# Runs tavrorun -A in folder $1 from 10:19:30 at ten times real speed until the file $2 holds the
# text $3 (${4:-1} times), or the launcher ends; then ends it with SIGTERM.
run_until() {
  local folder=$1 file=$2 text=$3 times=${4:-1}
  (cd "$folder" && LD_PRELOAD=$libfaketime FAKETIME="@2026-12-07 10:19:30 x10" exec ./tavrorun -A) \
    >"$folder/stdout.txt" 2>&1 &
  launcher=$!
  for _ in $(seq 1 240); do
    (($(grep -cF -- "$text" "$file" 2>/dev/null) >= times)) && break
    kill -0 "$launcher" 2>/dev/null || break
    sleep 0.5
  done
  kill -TERM "$launcher" 2>/dev/null
  wait "$launcher" 2>/dev/null
  launcher=
}

setup_folder() {  # folder; the launcher, its configuration and the job program
  mkdir -p "$1/jobs"
  cp "$bin/tavrorun" "$1/"
  cp "$bin/demojob" "$1/jobs/"
  cat >"$1/tavrorun.ini" <<INI
[program]
mod=pi
debug=1
[pi]
host=plant
user=op
password=$(printf 'secret' | base64)
apiado=0
[tasks]
count=3
[task_1]
launchperiod=15
phase=5
intervallength=15
exename=$1/jobs/demojob
taskname=Running unit
runningtag=UNIT.RUN
[task_2]
launchperiod=15
phase=5
intervallength=15
exename=$1/jobs/demojob
taskname=Stopped unit
runningtag=UNIT.STOP
[task_3]
launchperiod=15
phase=5
intervallength=15
exename=$1/jobs/demojob
taskname=Unknown unit
runningtag=UNIT.GONE
INI
}

# With the library.
setup_folder "$work/bound"
cp "$bin/piapi/complete/libpiapi.so" "$work/bound/"
log="$work/bound/tavrorun.007.txt"
export TAVRO_FAKE_PIAPI="point.UNIT.RUN=42.5;point.UNIT.STOP=0;journal=$work/bound/piapi-calls.txt"
run_until "$work/bound" "$log" "NOT launched due to value of UNIT.GONE"
unset TAVRO_FAKE_PIAPI

expect_in "$log" "Starting"
expect_in "$work/bound/jobs/demo-output.txt" "args: [Running unit] [07.12.2026+10.00] [15] [-NOH] [-NOE]"
expect_in "$log" "jobs/demojob \"Running unit\" 07.12.2026+10.00 15 -NOH -NOE launched successfully"
expect_in "$log" "jobs/demojob \"Stopped unit\" 07.12.2026+10.00 15 -NOH -NOE NOT launched due to value of UNIT.STOP (0)"
expect_in "$log" "jobs/demojob \"Unknown unit\" 07.12.2026+10.00 15 -NOH -NOE NOT launched due to value of UNIT.GONE (-5)"
expect_in "$log" "Call for Pi sample"
expect_in "$log" "value=42.5"
expect_in "$log" "pipt_findpoint failed"
if grep -qF "[Stopped unit]" "$work/bound/jobs/demo-output.txt"; then fail "the task gated by 0 was launched"; fi
if grep -qF "Initialization PI API with error" "$log"; then fail "the complete library was reported"; fi
if grep -qF "secret" "$log" "$work/bound/stdout.txt"; then fail "the password reached the log"; fi
calls="$work/bound/piapi-calls.txt"
expect_in "$calls" "piut_connect(tavrorun)"
expect_in "$calls" "piut_login(op,secret)"
expect_in "$calls" "piut_setservernode(plant)"
expect_in "$calls" "piar_value(1,1796637600,1)"  # 2026-12-07 10:00:00 as PI time
expect_in "$calls" "piut_disconnect()"

# tavrocheck, lying elsewhere, finds the library where that launcher does: beside its configuration.
TAVRO_FAKE_PIAPI="point.UNIT.RUN=42.5" "$bin/tavrocheck" --ini "$work/bound/tavrorun.ini" --probe UNIT.RUN \
  >"$work/probe.txt" 2>&1 || fail "the probe beside the library: $(cat "$work/probe.txt")"
expect_in "$work/probe.txt" "value=42.5"

# Without the library, and with one that lacks two names: reported and stopped at every tick.
setup_folder "$work/missing"
setup_folder "$work/lacking"
cp "$bin/piapi/without_two/libpiapi.so" "$work/lacking/"
for folder in missing lacking; do
  log="$work/$folder/tavrorun.007.txt"
  [[ $folder == missing ]] && report="libpiapi.so cannot be loaded" || report="pipt_wildcardsearch is not loaded"
  run_until "$work/$folder" "$log" "Initialization PI API with error" 3
  reports=$(grep -cF "$report" "$log" 2>/dev/null)
  errors=$(grep -cF "Initialization PI API with error" "$log" 2>/dev/null)
  ((reports >= 2 && reports == errors)) || fail "$folder: $errors errors, $reports reports of: $report"
  expect_in "$log" "Stopped"
  if grep -qF "launched" "$log"; then fail "$folder: a task was looked at without the library"; fi
done
expect_in "$work/lacking/tavrorun.007.txt" "piar_replacevalue is not loaded"

if ((failures > 0)); then
  for file in "$work"/*/tavrorun.007.txt "$calls" "$work"/bound/stdout.txt; do echo "--- $file"; cat "$file"; done
  exit 1
fi
echo "PI API end-to-end: all checks passed"
