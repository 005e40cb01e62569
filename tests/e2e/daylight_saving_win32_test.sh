#!/usr/bin/env bash
# The Windows build's preview in a zone with daylight saving (TZ, which wine turns into the Windows
# time zone): through the spring change it passes over the skipped hour and runs the 02:30 report
# right after it, through the autumn change it runs the report once; each change is listed once.
# Arguments: the build's bin folder and its wine runner.
set -uo pipefail
bin=$1
run=$2
source "$(dirname "$0")/helpers.sh"
new_work
printf '%s\r\n' '[program]' 'mod=kord' '[tasks]' 'count=1' '[task_1]' 'launchperiod=15' 'phase=0' \
  'intervallength=15' 'exename=C:\jobs\task.exe' 'taskname=quarter' '[reports]' 'count=1' \
  'exename=C:\jobs\report.exe' '[report_1]' 'hour=2' 'minute=30' 'template=night' >"$work/tavrorun.ini"
ini=$(windows_path "$work/tavrorun.ini")
TZ=Europe/Prague "$run" "$bin/tavrocheck.exe" --ini "$ini" --now "2027-03-28 01:40:00" --plan 2 2>/dev/null >"$work/spring.txt"
TZ=Europe/Prague "$run" "$bin/tavrocheck.exe" --ini "$ini" --now "2026-10-25 01:40:00" --plan 3 2>/dev/null >"$work/autumn.txt"
expect_count "$work/spring.txt" "(daylight saving time began)" 2  # the line and the summary's
expect_not_in "$work/spring.txt" "28.03.2027+02."
grep -qE $'^2027-03-28 03:00:[0-5][0-9]\treport 1\t' "$work/spring.txt" || fail "the 02:30 report did not run at 03:00"
expect_in "$work/spring.txt" "quarter 28.03.2027+03.00 15"
expect_count "$work/autumn.txt" "(daylight saving time ended)" 2
expect_count "$work/autumn.txt" "A:night" 1
expect_count "$work/autumn.txt" "quarter 25.10.2026+02.30 15" 1
finish "daylight saving under wine" "$work/spring.txt" "$work/autumn.txt"
