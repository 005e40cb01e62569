#!/usr/bin/env bash
# tavrocheck --rerun of the Windows build (under wine, rerun_checks.sh): yesterday's slots 10:00 to
# 10:30 of a task are started through CreateProcess with their exact command lines, each logged in
# the launcher's daily log beside the file as the launcher logs its launches, marked "Re-run: ".
# Arguments: the build's bin folder and its wine runner.
set -uo pipefail
bin=$1
run=$2
source "$(dirname "$0")/helpers.sh"
new_work
mkdir "$work/jobs" && cp "$bin/demojob.exe" "$work/jobs/"
job=$(windows_path "$work/jobs/demojob.exe")
printf '%s\r\n' '[program]' 'mod=kord' '[tasks]' 'count=1' '[task_1]' 'launchperiod=15' 'phase=2' \
  'intervallength=15' "exename=$job" 'taskname=Quarter hour' >"$work/tavrorun.ini"
source "$(dirname "$0")/rerun_checks.sh"
check=("$run" "$bin/tavrocheck.exe" --ini "$(windows_path "$work/tavrorun.ini")")
check_reruns "$job \"Quarter hour\"" "args: [Quarter hour]"
finish "tavrocheck --rerun under wine" "$log" "$work/rerun.txt" "$work/jobs/demo-output.txt"
