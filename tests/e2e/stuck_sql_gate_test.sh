#!/usr/bin/env bash
# A SQL server that stops answering after login, end to end: the real tavrorun -A in SQL Server
# mode reads its gate from PostgreSQL through a small proxy that, once told, lets every new
# connection log in and then forwards nothing more. The read gives up after readtimeout (2 s) with
# its one entry, the tick goes on to its next task, and SIGTERM during a stuck read ends the launcher
# within a few seconds. The monotonic clock stays real (libfaketime speeds the wall clock only), so
# the read's deadline is real time.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
stage=${2:-}
here=$(cd "$(dirname "$0")" && pwd)

if [[ -z "$stage" ]]; then
  exec bash "$here/../testing/postgres_server.sh" --seed "$here/../sources/postgres_seed.sql" -- \
    bash "$0" "$bin" served
fi

work=$(mktemp -d)
launcher=
proxy=
trap '[[ -n "$launcher" ]] && kill -9 "$launcher" 2>/dev/null; [[ -n "$proxy" ]] && kill "$proxy" 2>/dev/null
      rm -rf "$work"' EXIT
source "$(dirname "$0")/helpers.sh"
log="$work/tavrorun.007.txt"
count() { grep -cF -- "$1" "$2" 2>/dev/null; }
more_than() { (($(count "$2" "$3") > $1)); }

# Relays both ways; a connection made while the file "stall" exists gets the server's bytes up to its
# first ReadyForQuery, then nothing more, and is noted as "stalled".
cat >"$work/proxy.py" <<'PY'
import os, socket, sys, threading
listen, folder = socket.create_server(("127.0.0.1", 0)), sys.argv[2]
open(folder + "/proxy.port", "w").write(str(listen.getsockname()[1]))
def relay(source, target, stall):
    while data := source.recv(65536):
        at = data.find(b"Z\x00\x00\x00\x05") if stall else -1
        target.sendall(data if at < 0 else data[:at + 6])
        if at >= 0:
            open(folder + "/proxy.log", "a").write("stalled\n")
            while source.recv(65536): pass
while True:
    client, server = listen.accept()[0], socket.create_connection(("127.0.0.1", int(sys.argv[1])))
    stall = os.path.exists(folder + "/stall")
    threading.Thread(target=relay, args=(server, client, stall), daemon=True).start()
    threading.Thread(target=relay, args=(client, server, False), daemon=True).start()
PY
python3 "$work/proxy.py" "$TAVRO_PG_PORT" "$work" &
proxy=$!
wait_until 30 test -s "$work/proxy.port" || { echo "FAIL: the proxy did not start"; exit 1; }

mkdir -p "$work/jobs"
cp "$bin/tavrorun" "$work/"
cp "$bin/demojob" "$work/jobs/"
{
  printf '[program]\nmod=mssql\nreadtimeout=2\n[mssql]\nhost=127.0.0.1\nuser=%s\npassword=%s\ndatabase=%s\n' \
    "$TAVRO_PG_USER" "$TAVRO_PG_PASSWORD" "$TAVRO_PG_DATABASE"
  printf 'table=pd\ntagcolumn=tag\ntimecolumn=ts\nvaluecolumn=val\ndriver=PostgreSQL Unicode\nodbc=Port=%s\n' \
    "$(cat "$work/proxy.port")"
  printf '[tasks]\ncount=2\n'
  for n in 1 2; do
    printf '[task_%s]\nlaunchperiod=1\nphase=0\nintervallength=15\nexename=%s\ntaskname=T%s\n' "$n" "$work/jobs/demojob" "$n"
    ((n == 1)) && printf 'runningtag=UNIT1.RUN\n'
  done
} >"$work/tavrorun.ini"

libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -n 1)
(cd "$work" && LD_PRELOAD=$libfaketime FAKETIME="@2026-12-07 10:00:30 x10" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  exec ./tavrorun -A) </dev/null >"$work/stdout.txt" 2>&1 &
launcher=$!
timedout="read of UNIT1.RUN timed out after 2 s"

wait_until 120 more_than 0 "demojob T1 " "$log" || fail "no launch of the gated task while the server answers"
touch "$work/stall"
wait_until 120 grep -qF "$timedout" "$log" || fail "no timed-out read"
next_task_after() { sed -n "/$timedout/,\$p" "$log" | grep -qF "demojob T2 "; }
wait_until 60 next_task_after || fail "no launch of the next task after the timed-out read"
expect_not_in "$log" "MSSQL error"

# The next tick's read is stuck again; the process must end during it.
stalled=$(count stalled "$work/proxy.log")
wait_until 60 more_than "$stalled" stalled "$work/proxy.log" || fail "no stuck read to end"
sent=$SECONDS
kill -TERM "$launcher"
wait_until 10 ended "$launcher" || fail "tavrorun did not end on SIGTERM during a stuck read"
echo "SIGTERM during a stuck read: ended after $((SECONDS - sent)) s or less"
wait "$launcher" 2>/dev/null
code=$?
((code == 0)) || fail "exit code $code after SIGTERM during a stuck read"
launcher=
expect_in "$log" "Closing program..."

if ((failures > 0)); then
  echo "--- $log"; tr '\r' '~' <"$log"; echo "--- stdout"; cat "$work/stdout.txt"
  exit 1
fi
echo "stuck SQL gate end-to-end: all checks passed"
