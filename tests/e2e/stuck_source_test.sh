#!/usr/bin/env bash
# The real tavrorun -A in SQL Server mode against a PostgreSQL server that stops answering, with a
# small proxy between (pg_proxy.py): the table below, each mode with one and with fifty gated tasks,
# under an accelerated clock (twenty times real speed; the proxy's own waits stay real). Whatever the
# server does, a tick lasts at most one readtimeout and a few seconds, the launcher's threads and
# descriptors stay within their bounds (counted in /proc, with room to spare), an outage says so
# once, and SIGTERM ends the launcher. Then a server that stops answering at the start's reading,
# with a readtimeout of an hour: SIGTERM ends the launcher at once, and nothing follows
# "Closing program..." in the log.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
beside_postgres "$@"
new_work
log="$work/tavrorun.007.txt"
readtimeout=20
# The proxy's mode and how many ticks with due tasks it is watched for. The most threads and
# descriptors the launcher may have beyond those it had before: three given-up calls, each with its
# socket, the read in progress, and room to spare.
table="stall-query 2
stall-result 2
silent 2
slow 2
flap 6"
threads=4 descriptors=7

start_proxy "$TAVRO_PG_PORT" || { echo "FAIL: the proxy did not start"; exit 1; }
copy_programs
configure() {  # readtimeout, gated tasks
  {
    printf '[program]\nmod=mssql\nreadtimeout=%s\n[mssql]\nhost=127.0.0.1\nuser=%s\npassword=%s\n' \
      "$1" "$TAVRO_PG_USER" "$TAVRO_PG_PASSWORD"
    printf 'database=%s\ntable=pd\ntagcolumn=tag\ntimecolumn=ts\nvaluecolumn=val\n' "$TAVRO_PG_DATABASE"
    printf 'driver=PostgreSQL Unicode\nodbc=Port=%s\n[tasks]\ncount=%s\n' "$(cat "$work/proxy.port")" "$2"
    for n in $(seq 1 "$2"); do
      printf '[task_%s]\nlaunchperiod=1\nphase=0\nintervallength=15\nexename=/bin/true\ntaskname=T%s\nrunningtag=UNIT2.RUN\n' "$n" "$n"
    done
  } >"$work/tavrorun.ini"
}
count_in() { ls "/proc/$launcher/$1" 2>/dev/null | wc -l; }
# The ticks that held their tasks: the last task's entry of each.
held_ticks() {  # tasks
  grep -aF "/bin/true T$1 " "$log" | grep -acF "NOT launched due to value of UNIT2.RUN"
}
# The longest time from a tick's first held task to its last, of the ticks after the first N that
# held all their tasks for a server that did not answer (-20), in seconds; -1 for none.
longest_stuck_tick() {  # N, tasks
  grep -aF "NOT launched due to value of UNIT2.RUN (-20)" "$log" | tr -d '\r' | python3 -c '
import sys
from datetime import datetime
ticks = {}
for line in sys.stdin:
    stamp, entry = line.rstrip("\n").split("\t")
    ticks.setdefault(entry.split(" ")[2], []).append(datetime.strptime(stamp, "%Y.%m.%d %H:%M:%S"))
stuck = [t for slot, t in sorted(ticks.items()) if len(t) == int(sys.argv[2])][int(sys.argv[1]):]
print(int(max(((max(t) - min(t)).total_seconds() for t in stuck), default=-1)))' "$1" "$2"
}
answered_again() { grep -qF "MSSQL answers again: tasks are gated on it again" "$log"; }
while read -r mode ticks; do
  for tasks in 1 50; do
    case="$mode, $tasks tasks"
    configure "$readtimeout" "$tasks"
    echo pass >"$work/mode"
    rm -f "$log" "$work/stdout.txt"
    start_launcher "2026-12-07 10:00:30" 20
    wait_until 60 eval '(($(held_ticks "$tasks") >= 1))' || fail "$case: no tick before the stall"
    base_threads=$(count_in task) base_descriptors=$(count_in fd)
    before=$(held_ticks "$tasks")
    stuck_before=$(grep -aF "/bin/true T$tasks " "$log" | grep -acF "UNIT2.RUN (-20)")
    echo "$mode" >"$work/mode"
    most_threads=0 most_descriptors=0
    for _ in $(seq 1 600); do
      # A flapping server is watched until it has come back once as well.
      (($(held_ticks "$tasks") >= before + ticks)) && { [[ $mode != flap ]] || answered_again; } && break
      ended "$launcher" && break
      t=$(count_in task) d=$(count_in fd)
      ((t > most_threads)) && most_threads=$t
      ((d > most_descriptors)) && most_descriptors=$d
      sleep 0.1
    done
    ((most_threads <= base_threads + threads)) || fail "$case: $most_threads threads (before: $base_threads)"
    ((most_descriptors <= base_descriptors + descriptors)) ||
      fail "$case: $most_descriptors descriptors (before: $base_descriptors)"
    # Once one read has waited its readtimeout in vain, the tick's other gates are held at once.
    longest=$(longest_stuck_tick "$stuck_before" "$tasks")
    ((longest <= 4)) || fail "$case: a tick held its tasks over $longest s (readtimeout $readtimeout s)"
    echo "$case: tasks held over $longest s at most, threads $base_threads..$most_threads, descriptors $base_descriptors..$most_descriptors"
    timedout=$(grep -c "timed out after" "$log")
    ((timedout <= ticks + 1)) || fail "$case: $timedout timed-out reads in $ticks ticks"
    [[ $mode != flap ]] || answered_again || fail "$case: the server came back, the launcher did not say so"
    stop_launcher "$case" 10
  done
done <<<"$table"

# The start's reading waits on a server that does not answer its query, for up to an hour: SIGTERM
# ends it at once, in real time.
configure 3600 1
echo stall-query >"$work/mode"
rm -f "$work"/tavrorun.0*.txt "$work/stdout.txt"
start_launcher
wait_until 30 grep -qF stall-query "$work/proxy.log" || fail "the start's reading did not reach the server"
sleep 1
sent=$EPOCHREALTIME
stop_launcher "the start's reading" 10
took=$(python3 -c "print(f'{$EPOCHREALTIME - $sent:.2f}')")  # polled every 0.2 s: an upper bound
log=$(ls "$work"/tavrorun.0*.txt)
python3 -c "import sys; sys.exit($took > 2)" || fail "SIGTERM during the start's reading took $took s"
echo "SIGTERM during the start's reading: ended within $took s"
[[ "$(tail -n 1 "$log" | tr -d '\r' | cut -f 2)" == "Closing program..." ]] ||
  fail "entries after \"Closing program...\": $(sed -n '/Closing program/,$p' "$log")"
expect_not_in "$log" "Starting"$'\r'

finish "stuck source end-to-end" "$log" "$work/proxy.log" "$work/stdout.txt"
