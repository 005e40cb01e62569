#!/usr/bin/env bash
# retryheld end to end: the real tavrorun -A gates a task on a real PostgreSQL server (SQL Server
# mode, ODBC) under libfaketime at 10 times real speed, with retryheld=10. The server stops: the slot
# whose read failed waits (one entry, and what -20 stands for below it), the later slot behind it,
# and both are launched once, in order, when the server is back within the ten minutes.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
[[ -n "${2:-}" ]] || exec bash "$here/../testing/postgres_server.sh" --seed "$here/../sources/postgres_seed.sql" -- \
  bash "$0" "$bin" served

work=$(mktemp -d)
launcher=
trap 'kill -9 "$launcher" 2>/dev/null; rm -rf "$work"' EXIT
source "$here/helpers.sh"
log="$work/tavrorun.007.txt"
server() { touch "$TAVRO_PG_CONTROL/$1" && wait_until 60 test ! -e "$TAVRO_PG_CONTROL/$1"; }
slots() { grep -F "demojob Running 07.12.2026+" "$log" | grep -F "$1" | grep -oE '\+[0-9.]{5}' | tr -d +; }
mkdir "$work/jobs" && cp "$bin/tavrorun" "$work/" && cp "$bin/demojob" "$work/jobs/"
printf '%s\n' "[program]" "mod=mssql" "retryheld=10" "[mssql]" "host=127.0.0.1" "user=$TAVRO_PG_USER" \
  "password=$TAVRO_PG_PASSWORD" "database=$TAVRO_PG_DATABASE" "table=pd" "tagcolumn=tag" "timecolumn=ts" \
  "valuecolumn=val" "driver=PostgreSQL Unicode" "odbc=Port=$TAVRO_PG_PORT" "[tasks]" "count=1" "[task_1]" \
  "launchperiod=1" "phase=0" "intervallength=15" "exename=$work/jobs/demojob" "taskname=Running" \
  "runningtag=UNIT1.RUN" >"$work/tavrorun.ini"
(cd "$work" && LD_PRELOAD=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -n 1) \
  FAKETIME="@2026-12-07 10:00:30 x10" exec ./tavrorun -A) </dev/null >"$work/stdout.txt" 2>&1 &
launcher=$!

wait_until 120 grep -qF "launched successfully" "$log" || fail "no first launch"
server stop || fail "the server did not stop"
wait_until 120 grep -qF " waits: the read of UNIT1.RUN failed; it is read again at each tick until" "$log" ||
  fail "no waiting slot"
waiting=$(slots " waits: ")
sleep 7  # 70 s of the launcher's clock: the next slot comes due and waits behind it
server start || fail "the server did not start"
wait_until 120 eval '(($(slots "launched successfully" | grep -c .) >= 4))' || fail "fewer than 4 launches"
kill -TERM "$launcher" && wait_until 30 ended "$launcher" || fail "tavrorun did not end on SIGTERM"

expect_count "$log" " waits: the read of UNIT1.RUN failed" 1
expect_order "$log" " waits: the read of UNIT1.RUN failed" "-20 means the source failed: MSSQL error: "
expect_not_in "$log" "NOT launched"
# Every slot once, in order, the waiting one among them.
launched=$(slots "launched successfully")
[[ $(sort -u <<<"$launched") == "$launched" ]] || fail "slots launched twice or out of order: $launched"
grep -qx "$waiting" <<<"$launched" || fail "the slot $waiting that waited was not launched"
[[ $(grep -c . <<<"$launched") == $((10#${launched##*.} - 10#$(head -n 1 <<<"$launched" | cut -d. -f2) + 1)) ]] ||
  fail "a slot was passed over: $launched"
finish "retryheld end-to-end" "$log" "$work/stdout.txt"
