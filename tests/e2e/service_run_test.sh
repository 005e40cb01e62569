#!/usr/bin/env bash
# tavrorun as the installed service without a running systemd: a datagram recorder stands in for
# the manager's notification socket (NOTIFY_SOCKET) and for /dev/log, a recording systemctl on
# PATH answers "is-system-running". A service's life (the log's order, READY=1, STATUS= texts that
# follow the run status and the launches, SIGTERM as the stop request with STOPPING=1, "Service is
# stopping...", "Stopped" and exit code 0) with its standard error as the journal (a level on every
# line, no time stamp), the system's shutdown (no Stop), a stop during a start that waits on its
# database (EXTEND_TIMEOUT_USEC meanwhile, then an end at once), the hand start of the installed service
# (the failure on standard error and in syslog, the process ends), and a unit with User=.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
source "$(dirname "$0")/helpers.sh"

bin=$1
work=$(mktemp -d)
service=""
trap 'kill -9 $service $(jobs -p) 2>/dev/null; wait; release_private_dev; rm -rf --one-file-system "$work"' EXIT
mkdir -p "$work/units" "$work/fakebin" "$work/jobs"
exe="$work/tavrorun"
cp "$bin/tavrorun" "$work/"
cp "$bin/demojob" "$work/jobs/"
# A pump every minute: the first tick launches the minute just past.
cat >"$work/tavrorun.ini" <<INI
[program]
mod=kord
[pumps]
count=1
[pump_1]
launchperiod=1
phase=0
intervallength=1
exename=$work/jobs/demojob
source=S
target=T
tagfile=tags.txt
INI
cat >"$work/fakebin/systemctl" <<'SH'
#!/usr/bin/env bash
echo "$*" >>"$SYSTEMCTL_CALLS"
[[ "$1" == is-system-running ]] && echo "${FAKE_SYSTEM_STATE:-running}"
exit 0
SH
chmod +x "$work/fakebin/systemctl"
export PATH="$work/fakebin:$PATH" TAVRORUN_UNIT_DIR="$work/units" SYSTEMCTL_CALLS="$work/systemctl-calls.txt"
# Every run of the launcher on one day's clock, ten times faster, so that a tick comes every second.
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -n 1)
faked=(env LD_PRELOAD="$libfaketime" FAKETIME="@2026-12-07 10:00:30 x10")
"${faked[@]}" "$exe" -INSTALL -SILENT >/dev/null 2>&1 </dev/null
[[ -e "$work/units/TavroRunner.service" ]] || fail "the unit was not installed"

syslog="$work/syslog.txt"
if ! private_system_log "$bin/datagramrecorder" "$syslog"; then
  echo "note: no private /dev/log could be made; the syslog entries are not checked"
  syslog=""
fi
notify="$work/notify.txt"
"$bin/datagramrecorder" "$work/notify.sock" "$notify" &
wait_until 30 test -S "$work/notify.sock" || fail "the notification socket did not appear"
log=""

start_service() {  # extra environment...
  : >"$notify"
  "${faked[@]}" NOTIFY_SOCKET="$work/notify.sock" "$@" "$exe" </dev/null >>"$work/service.out" 2>&1 &
  service=$!
}
stop_service() {  # expected exit code
  kill -TERM "$service"
  wait_until 60 ended "$service" || fail "the service did not end on SIGTERM"
  wait "$service"
  local code=$?
  [[ $code -eq $1 ]] || fail "the service ended with exit code $code, not $1"
}

# A service's life, its standard error the journal's stream. A second pump's program is missing.
cat >>"$work/tavrorun.ini" <<INI
[pump_2]
launchperiod=1
phase=0
intervallength=1
exename=$work/jobs/missing
source=S
target=T
tagfile=tags.txt
INI
sed -i 's/^count=1$/count=2/' "$work/tavrorun.ini"
: >"$work/service.out"
start_service JOURNAL_STREAM="$(stat -c %d:%i "$work/service.out")"
wait_until 60 grep -qx "READY=1" "$notify" || fail "no READY=1"
log=$(ls "$work"/tavrorun.0*.txt)
expect_order "$log" "ServiceStartName root" "Start as Service" "UserName root" "Starting program..." "Reading ini..." \
  "Service is starting..." "Starting"
expect_in "$notify" "STATUS=Running"
# The first tick launches the pump; the progress panel's text joins the status.
wait_until 60 grep -q "^STATUS=Running | .*pump 1" "$notify" || fail "no STATUS with the launch's progress"
wait_until 60 test -s "$work/jobs/demo-output.txt" || fail "the service launched nothing"
wait_until 60 grep -q "missing .*launch failed" "$log" || fail "the second pump's launch did not fail"
stop_service 0
expect_in "$notify" "STOPPING=1"
expect_order "$log" "Service is starting..." "Service is stopping..." "Stopped"
expect_order "$notify" "READY=1" "STOPPING=1" "STATUS=Stopped"
expect_not_in "$work/service.out" "Service failed"
expect_in "$work/service.out" "<6>Service is starting..."
expect_in "$work/service.out" "<3>$work/jobs/missing"
grep -qv '^<[346]>' "$work/service.out" && fail "a journal line without its level: $(grep -v '^<[346]>' "$work/service.out" | head -1)"
grep -q '^<[346]>2026' "$work/service.out" && fail "a journal line with its own time stamp"

# The system goes down: the stop request ends the service without Stop.
start_service FAKE_SYSTEM_STATE=stopping
wait_until 60 grep -qx "READY=1" "$notify" || fail "no READY=1 at the second start"
stop_service 0
expect_in "$notify" "STOPPING=1"
expect_count "$log" "Service is starting..." 2
expect_count "$log" "Service is stopping..." 1
expect_count "$log" "Stopped" 1
expect_in "$work/systemctl-calls.txt" "is-system-running"

# The start's reading waits on a database that lets the login in and then never answers, for up to
# an hour: the manager hears that the start goes on, and the stop request ends the start at once.
start_proxy || fail "the stand-in database did not start"
cp "$work/tavrorun.ini" "$work/kord.ini"
printf '%s\n' "[program]" mod=mssql readtimeout=3600 "[mssql]" host=127.0.0.1 user=u password=p database=d table=t \
  tagcolumn=g timecolumn=s valuecolumn=v "driver=PostgreSQL Unicode" "odbc=Port=$(cat "$work/proxy.port")" >"$work/tavrorun.ini"
sed -n '/^\[pumps\]/,$p' "$work/kord.ini" >>"$work/tavrorun.ini"
start_service
wait_until 60 eval '(($(grep -c "^EXTEND_TIMEOUT_USEC=30000000$" "$notify") >= 2))' || fail "no EXTEND_TIMEOUT_USEC during the start"
sent=$SECONDS
stop_service 0
((SECONDS - sent <= 3)) || fail "the stop during the start took $((SECONDS - sent)) s"
[[ "$(tail -n 1 "$log" | tr -d '\r' | cut -f 2)" == "Service is stopping..." ]] ||
  fail "the stop during the start ended the log with: $(tail -n 2 "$log")"
expect_in "$notify" "STOPPING=1"
expect_not_in "$notify" "READY=1"
mv "$work/kord.ini" "$work/tavrorun.ini"

# A hand start of the installed service: no NOTIFY_SOCKET, the failure is said and the process ends.
"${faked[@]}" "$exe" </dev/null >"$work/hand.out" 2>"$work/hand.err" &
hand=$!
wait_until 30 ended "$hand" || fail "a hand start did not end"
wait "$hand"
code=$?
[[ $code -eq 1 ]] || fail "a hand start ended with exit code $code, not 1"
expect_in "$work/hand.err" "could not connect to the service manager"
expect_count "$log" "Service is starting..." 2
expect_count "$log" "Start as Service" 4
if [[ -n "$syslog" ]]; then
  wait_until 30 grep -q "tavrorun\[$hand\]: The service process could not connect" "$syslog" ||
    fail "the hand start's failure is not in syslog"
fi

# A unit with User=: started by systemd under that account, the launcher is the service there, with
# its lock and log in its own folder (no runtime folder for such an account).
if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  own="$work/account"
  mkdir -p "$own/jobs"
  cp "$exe" "$own/" && cp "$work/jobs/demojob" "$own/jobs/"
  sed -e "s|$work/jobs/|$own/jobs/|" -e 's/^count=2$/count=1/' "$work/tavrorun.ini" >"$own/tavrorun.ini"
  chmod 711 "$work" && chmod 755 "$own" && chown -R nobody "$own"
  chmod 666 "$work/notify.sock" "$work/systemctl-calls.txt"
  sed -i 's/^\[Service\]$/[Service]\nUser=nobody/' "$work/units/TavroRunner.service"
  : >"$notify"
  "${faked[@]}" NOTIFY_SOCKET="$work/notify.sock" INVOCATION_ID=0123 \
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$own/tavrorun" </dev/null >"$work/account.out" 2>&1 &
  service=$!
  wait_until 60 grep -qx "READY=1" "$notify" || fail "no READY=1 from the User= service"
  wait_until 60 test -s "$own/jobs/demo-output.txt" || fail "the User= service launched nothing"
  stop_service 0
  account_log=$(ls "$own"/tavrorun.0*.txt)
  expect_order "$account_log" "ServiceStartName nobody" "Start as Service" "UserName nobody" "Service is starting..." \
    "Service is stopping..." "Stopped"
  expect_order "$notify" "READY=1" "STOPPING=1"
  [[ -e "$own/TAVRORUN_PRG_MUTEX.lock" ]] || fail "the User= service held no lock in its folder"
else
  echo "note: setpriv or the user nobody missing; the User= service is not tried"
fi

finish "service run" "$log" "$notify" "$work/service.out" "$work/hand.err" "$syslog"
