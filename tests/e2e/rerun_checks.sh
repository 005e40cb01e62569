# The checks of tavrocheck --rerun shared by both builds (sourced by rerun_test.sh and
# rerun_win32_test.sh once $work/tavrorun.ini holds the task and the array check calls the checker
# with it): yesterday's slots 10:00 to 10:30 run again, each program with its slot, each launch in
# the launcher's daily log beside the configuration marked "Re-run: ", in order; tomorrow's slot and
# a time that is no slot run nothing, each with its own exit code.
day=$(date -d yesterday +%Y-%m-%d)
slot=$(date -d yesterday +%d.%m.%Y)
log="$work/tavrorun.0$(date +%d).txt"
check_reruns() {  # the task's command line in the log, what the program says before its slot
  "${check[@]}" --rerun --job task 1 --since "$day 10:00:00" --until "$day 10:30:00" >"$work/rerun.txt" 2>&1 ||
    fail "the re-run ended with $?"
  wait_until 60 eval '(($(grep -cF "[$slot+10." "$work/jobs/demo-output.txt" 2>/dev/null) == 3))' ||
    fail "not 3 programs ran"
  local minute entries=()
  for minute in 00 15 30; do
    expect_count "$work/jobs/demo-output.txt" "$2 [$slot+10.$minute] [15] [-NOH] [-NOE]" 1
    entries+=($'\tRe-run: '"$1 $slot+10.$minute 15 -NOH -NOE launched successfully"$'\r')
  done
  expect_order "$log" "Re-run asked by tavrocheck (process " "${entries[@]}"
  expect_in "$work/rerun.txt" "Re-run: $1 $slot+10.30 15 -NOH -NOE launched successfully"
  "${check[@]}" --rerun --job task 1 --slot "$(date -d tomorrow +%F) 10:00:00" >/dev/null 2>&1
  [[ $? == 9 ]] || fail "a slot of tomorrow did not end with 9"
  "${check[@]}" --rerun --job task 1 --slot "$day 10:07:00" >/dev/null 2>&1
  [[ $? == 10 ]] || fail "a time between slots did not end with 10"
  expect_count "$log" "Re-run asked by tavrocheck" 1
}
