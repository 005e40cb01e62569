#!/usr/bin/env bash
# The task gate end to end: the real tavrorun -A, in SQL Server mode, reads its tasks' running tags
# from a real PostgreSQL server through ODBC, under an accelerated clock (libfaketime, 10 times real
# speed; the database's own waits stay real). A tag above 0 launches its task with its slot and
# interval, 0 and "no row" (-20) do not, the reading's trial of the connection passes, and the
# password never reaches the log. Then the server stops answering after login (a small proxy stands
# between, pg_proxy.py): a read gives up at readtimeout with its one entry, the tick holds its other
# gates at once, and SIGTERM during the next tick's try still ends the launcher with exit code 0. How
# a read fails and recovers is the reader's business, tested against the same server in
# sources.postgres; how the launcher bears each way a server can stop answering, in stuck_source.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
beside_postgres "$@"
new_work
log="$work/tavrorun.007.txt"
output="$work/jobs/demo-output.txt"
count() { grep -cF -- "$1" "$2" 2>/dev/null; }
wait_for() {  # description, command...: up to 300 s of real time
  local what=$1
  shift
  for _ in $(seq 1 1200); do
    "$@" && return 0
    kill -0 "$launcher" 2>/dev/null || { fail "tavrorun ended while waiting for $what"; return 1; }
    sleep 0.25
  done
  fail "no $what"
  return 1
}

start_proxy "$TAVRO_PG_PORT" || { echo "FAIL: the proxy did not start"; exit 1; }
copy_programs demojob
task() {  # number, name, tag
  printf '[task_%s]\nlaunchperiod=1\nphase=0\nintervallength=15\nexename=%s\ntaskname=%s\nrunningtag=%s\n' \
    "$1" "$work/jobs/demojob" "$2" "$3"
}
{
  printf '[program]\nmod=mssql\nreadtimeout=20\n[mssql]\nhost=127.0.0.1\nuser=%s\npassword=%s\ndatabase=%s\n' \
    "$TAVRO_PG_USER" "$TAVRO_PG_PASSWORD" "$TAVRO_PG_DATABASE"
  printf 'table=pd\ntagcolumn=tag\ntimecolumn=ts\nvaluecolumn=val\ndriver=PostgreSQL Unicode\nodbc=Port=%s\n' \
    "$(cat "$work/proxy.port")"
  printf '[tasks]\ncount=3\n'
  task 1 Running UNIT1.RUN
  task 2 Stopped UNIT2.RUN
  task 3 Unknown UNIT3.RUN
} >"$work/tavrorun.ini"

start_launcher "2026-12-07 10:00:30" 10

launched() { grep -F "demojob Running 07.12.2026+" "$log" 2>/dev/null | grep -cF "launched successfully"; }
launched_more_than() { (($(launched) > $1)); }
wait_for "launch of task 1" launched_more_than 0
wait_for "closed gate of task 2" grep -qF "NOT launched due to value of UNIT2.RUN (0)" "$log"
wait_for "closed gate of task 3" grep -qF "NOT launched due to value of UNIT3.RUN (-20)" "$log"
launches=$(launched)

# 20 s of the accelerated clock are 2 s of real time. After one read given up, the tick holds the
# other gates at once: the source is away until the next tick tries it again.
echo stall-query >"$work/mode"
wait_for "timed-out read" grep -qF "read of UNIT1.RUN timed out after 20 s" "$log"
wait_for "held gate of the next task" grep -qF "NOT launched due to value of UNIT2.RUN (-20)" "$log"
expect_not_in "$log" "read of UNIT2.RUN timed out"
stalled=$(count stall-query "$work/proxy.log")
wait_for "the next tick's try" eval '(($(count stall-query "$work/proxy.log") > stalled))'
stop_launcher "during a stuck read" 10
expect_in "$log" "Closing program..."
after_closing=$(sed -n '/Closing program\.\.\./,$p' "$log" | tail -n +2)
[[ -z "$after_closing" ]] || fail "entries after \"Closing program...\": $after_closing"
expect_not_in "$log" "MSSQL error"

expect_in "$log" "Tasks in ini O.K."
expect_not_in "$log" "MSSQL will not be used"  # the reading's trial of the connection
grep -qF -- "$TAVRO_PG_PASSWORD" "$log" "$work/stdout.txt" && fail "the password is in the log"

# Only the running unit's task was started, with its slot and interval.
[[ $(count "args: [Running]" "$output") -ge "$launches" ]] || fail "task 1 started $(count "args: [Running]" "$output") times"
grep -qE 'args: \[Running\] \[07\.12\.2026\+10\.[0-9]{2}\] \[15\]' "$output" || fail "task 1 got other arguments"
grep -qF -e "[Stopped]" -e "[Unknown]" "$output" && fail "a task with a closed gate was started"

if ((failures > 0)); then
  echo "--- $log"; tr '\r' '~' <"$log"; echo "--- $output"; cat "$output"; echo "--- stdout"; cat "$work/stdout.txt"
  exit 1
fi
echo "task gate end-to-end: all checks passed"
