#!/usr/bin/env bash
# The service's start (Windows build, under wine) whose reading waits on a database that lets the
# login in and then never answers, with a readtimeout of an hour (pg_proxy.py): the manager sees
# the start pending with a rising checkpoint, and its stop ends the start at once, the service
# stopped, with "Service is stopping..." the log's last entry. A batch file keeps the wine session
# (and with it the service) alive while this script asks the manager; a new session would start
# the registered (automatic) service by itself.
# Arguments: the build's bin folder and its wine runner.
set -uo pipefail
bin=$1
run=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/helpers.sh"
new_work
# The session ends (and deletes the service) once the file "done" is there.
at_exit='touch "$work/done"; [[ -z $session ]] || wait "$session"'
session=
start_proxy || { echo "FAIL: the stand-in database did not start"; exit 1; }
cp "$bin/tavrorun.exe" "$work/"
# The install call reads the configuration too: it is given a plain one, the service the stuck one.
printf '%s\r\n' "[program]" mod=kord "[batches]" count=1 "[batch_1]" type=0 phase=10 'exename=C:\jobs\batch.exe' \
  taskname=Daily >"$work/tavrorun.ini"
printf '%s\r\n' "[program]" mod=mssql readtimeout=3600 "[mssql]" host=127.0.0.1 user=u password=p database=d table=t \
  tagcolumn=g timecolumn=s valuecolumn=v "driver=PostgreSQL Unicode" "odbc=Port=$(cat "$work/proxy.port")" \
  "[batches]" count=1 "[batch_1]" type=0 phase=10 'exename=C:\jobs\batch.exe' taskname=Daily >"$work/stuck.ini"
printf '%s\r\n' '@echo off' 'sc delete TavroRunner >nul' 'tavrorun.exe -install -silent' \
  'copy /y stuck.ini tavrorun.ini >nul' 'sc start TavroRunner >nul' ':held' 'if exist done goto over' \
  'ping -n 2 127.0.0.1 >nul' 'goto held' ':over' 'sc delete TavroRunner' >"$work/stuck_start.bat"
cd "$work"
"$run" cmd /c stuck_start.bat >session.txt 2>&1 &
session=$!
entries() { cat tavrorun.0*.txt 2>/dev/null | tr -d '\r' | cut -f 2; }
query() { "$run" sc query TavroRunner | tr -d '\r' >query.txt; }
field() { query && awk -v name="$1" '$1 == name {print $3}' query.txt; }
wait_until 120 eval 'entries | grep -qF "Start as Service"' || fail "the service never started"
wait_until 60 test -s proxy.log || fail "the start's reading did not reach the database"
first=$(field CHECKPOINT)
[[ "$(field STATE)" == 2 ]] || fail "the start is not pending: $(cat query.txt)"
wait_until 60 eval '(($(field CHECKPOINT) > first))' || fail "the checkpoint stays at $first during the start"
"$run" sc stop TavroRunner >stop.txt 2>&1
sent=$SECONDS
wait_until 60 eval '[[ "$(field STATE)" == 1 ]]' || fail "the stop during the start left: $(cat query.txt)"
# Far below the readtimeout: the stop ended the reading, not the reading's end.
((SECONDS - sent <= 30)) || fail "the stop during the start took $((SECONDS - sent)) s"
echo "stop during the start's reading: stopped within $((SECONDS - sent)) s"
[[ "$(entries | tail -n 1)" == "Service is stopping..." ]] ||
  fail "the stop during the start ended the log with: $(entries | tail -n 2)"
entries | grep -qF "Service is starting..." && fail "the stopped start went on to start the service"
finish "stuck start under the service manager" "$work"/tavrorun.0*.txt stop.txt query.txt
