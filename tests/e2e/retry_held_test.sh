#!/usr/bin/env bash
# retryheld end to end: the real tavrorun -A gates a task on a real PostgreSQL server (SQL Server
# mode, ODBC) under libfaketime at 10 times real speed, with retryheld=10. The server stops: the slot
# whose read failed waits (one entry, and what -20 stands for below it), the later slot behind it,
# and both are launched once, in order, when the server is back within the ten minutes.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
source "$(dirname "$0")/helpers.sh"
beside_postgres "$@"
new_work
copy_programs demojob
log="$work/tavrorun.007.txt"
server() { touch "$TAVRO_PG_CONTROL/$1" && wait_until 60 test ! -e "$TAVRO_PG_CONTROL/$1"; }
slots() { grep -F "demojob Running 07.12.2026+" "$log" | grep -F "$1" | grep -oE '\+[0-9.]{5}' | tr -d +; }
printf '%s\n' "[program]" "mod=mssql" "retryheld=10" "[mssql]" "host=127.0.0.1" "user=$TAVRO_PG_USER" \
  "password=$TAVRO_PG_PASSWORD" "database=$TAVRO_PG_DATABASE" "table=pd" "tagcolumn=tag" "timecolumn=ts" \
  "valuecolumn=val" "driver=PostgreSQL Unicode" "odbc=Port=$TAVRO_PG_PORT" "[tasks]" "count=1" "[task_1]" \
  "launchperiod=1" "phase=0" "intervallength=15" "exename=$work/jobs/demojob" "taskname=Running" \
  "runningtag=UNIT1.RUN" >"$work/tavrorun.ini"
start_launcher "2026-12-07 10:00:30" 10

wait_until 120 grep -qF "launched successfully" "$log" || fail "no first launch"
server stop || fail "the server did not stop"
wait_until 120 grep -qF " waits: the read of UNIT1.RUN failed; it is read again at each tick until" "$log" ||
  fail "no waiting slot"
waiting=$(slots " waits: ")
sleep 7  # 70 s of the launcher's clock: the next slot comes due and waits behind it
server start || fail "the server did not start"
wait_until 120 eval '(($(slots "launched successfully" | grep -c .) >= 4))' || fail "fewer than 4 launches"
stop_launcher

expect_count "$log" " waits: the read of UNIT1.RUN failed" 1
expect_order "$log" " waits: the read of UNIT1.RUN failed" "-20 means the source failed: MSSQL error: "
expect_not_in "$log" "NOT launched"
launched=$(slots "launched successfully")
grep -qx "$waiting" <<<"$launched" || fail "the slot $waiting that waited was not launched"
expect_consecutive "$(cut -d. -f2 <<<"$launched")" "slot"
finish "retryheld end-to-end" "$log" "$work/stdout.txt"
