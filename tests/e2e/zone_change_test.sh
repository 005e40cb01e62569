#!/usr/bin/env bash
# The system's time zone changed under a running launcher (another file over /etc/localtime, TZ
# unset, in this test's own mount namespace): the next tick notices it, says so once, and stamps
# its entries in the new zone.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
at_exit='umount /etc/localtime 2>/dev/null'
unset TZ
zoneinfo=/usr/share/zoneinfo
if [[ ! -f $zoneinfo/Asia/Kathmandu || "$(readlink /proc/self/ns/mnt)" == "$(readlink /proc/1/ns/mnt)" ]]; then
  echo "SKIP: no zoneinfo or no mount namespace of its own"
  exit 77
fi
mount --bind "$zoneinfo/UTC" /etc/localtime || fail "cannot put UTC over /etc/localtime"

copy_programs
printf '[program]\nmod=kord\n' >"$work/tavrorun.ini"
start_launcher
wait_until 30 grep -qF "Starting" "$work/stdout.txt" || fail "the launcher did not start"
umount /etc/localtime
# Kathmandu is 5 h 45 min ahead of UTC: no other change of the clock looks like it.
mount --bind "$zoneinfo/Asia/Kathmandu" /etc/localtime || fail "cannot put Kathmandu over /etc/localtime"
wait_until 60 grep -qF "(the time zone changed)" "$work/stdout.txt" || fail "the change of zone was not noticed"
stop_launcher

expect_count "$work/stdout.txt" "(the time zone changed)" 1
# The entry's own stamp is in the new zone: 5 h 45 min after the time it names as "from".
line=$(grep -F "(the time zone changed)" "$work/stdout.txt" | tr -d '\r')
stamp=$(date -u -d "$(cut -f1 <<<"$line" | tr . -)" +%s)
from=$(sed -E 's/.*moved from ([0-9.]+ [0-9:]+) to.*/\1/' <<<"$line" | tr . -)
ahead=$(( stamp - $(date -u -d "$from" +%s) ))
(( ahead >= 20700 - 60 && ahead <= 20700 + 60 )) || fail "the entry's stamp is $ahead s after the time it moved from: $line"
finish "time zone change end-to-end" "$work/stdout.txt"
