#!/usr/bin/env bash
# The real tavrorun against what a plant server's users can leave in its way: a directory or a FIFO
# in place of the configuration or of the status file's temporary file, a link in place of the log,
# a directory in place of the lock, an account's copies of the launcher in two folders, an
# account's second launcher with another environment, and control signals sent back to back. It
# must neither abort nor hang, say what is wrong, and carry out commands in the order they came.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"

bin=$1
source "$(dirname "$0")/helpers.sh"
new_work
log="$work/tavrorun.007.txt"
cp "$bin/tavrorun" "$work/"
valid="[program]
mod=kord
[pumps]
count=1
[pump_1]
exename=/bin/true
source=S
target=T
tagfile=f.txt"

entries() { grep -cF -- $'\t'"$1"$'\r' "$log" 2>/dev/null; }
wait_for_condition() {  # condition (a shell expression), what it means
  for _ in $(seq 1 200); do
    eval "$1" && return 0
    sleep 0.1
  done
  fail "$2"
  return 1
}
start() {  # switches...
  (cd "$work" && LD_PRELOAD=$libfaketime FAKETIME="@2026-12-07 10:00:00" exec ./tavrorun "$@") \
    >"$work/stdout.txt" 2>"$work/stderr.txt" &
  launcher=$!
}
stop() {
  kill -TERM "$launcher" 2>/dev/null
  wait_for_condition '! kill -0 $launcher 2>/dev/null' "tavrorun did not end on SIGTERM"
  wait "$launcher"
  local status=$?
  [[ $status -eq 0 ]] || fail "exit code $status ($1)"
  launcher=
}

# A directory in place of the configuration: the reading says why and fails; the launcher lives on.
mkdir "$work/tavrorun.ini"
start -A
wait_for_condition '(($(entries "Tasks in ini O.K.") + $(grep -c "In ini found" "$log" 2>/dev/null) >= 2))' "no verdict with a directory as ini"
grep -qF "Cannot read $work/tavrorun.ini: it is a directory" "$log" || fail "no reason for the directory"
[[ $(entries "Starting") == 0 ]] || fail "started on a directory"
stop "directory"
rmdir "$work/tavrorun.ini"

# A FIFO in its place at a re-reading is not waited on.
printf '%s\n' "$valid" >"$work/tavrorun.ini"
rm -f "$log"
start
wait_for_condition '(($(entries "Tasks in ini O.K.") == 2))' "no valid reading at start"
rm "$work/tavrorun.ini"
mkfifo "$work/tavrorun.ini"
kill -HUP "$launcher"
wait_for_condition 'grep -qF "Cannot read $work/tavrorun.ini: it is not a regular file" "$log"' "the FIFO blocked or went unsaid"
stop "FIFO"
rm "$work/tavrorun.ini"

# Start and Stop sent back to back are carried out in that order: the launcher ends up stopped.
printf '%s\n' "$valid" >"$work/tavrorun.ini"
rm -f "$log"
start
wait_for_condition '(($(entries "Tasks in ini O.K.") == 2))' "no valid reading at start"
for trial in $(seq 1 50); do
  kill -USR1 "$launcher"
  kill -USR2 "$launcher"
  wait_for_condition '(($(entries "Stopped") == trial))' "trial $trial: Start and Stop were not carried out in order" || break
done
[[ $(entries "Starting") == 50 ]] || fail "$(entries Starting) times Starting for 50 trials"
stop "signals"

# An Exit during a tick with twenty due launches is honoured after the launch in progress, not after
# twenty pauses of two seconds (which would outlast a service manager's patience).
{
  echo "[program]"; echo "mod=kord"; echo "[pumps]"; echo "count=20"
  for n in $(seq 1 20); do printf '[pump_%d]\nlaunchperiod=1\nphase=0\nexename=/bin/true\nsource=S\ntarget=T\ntagfile=f\n' "$n"; done
} >"$work/tavrorun.ini"
rm -f "$log"
start -A
wait_for_condition 'grep -qF "launched successfully" "$log"' "no launch in the first tick" # after ten seconds
sent=$(date +%s)
kill -TERM "$launcher"
for _ in $(seq 1 300); do kill -0 "$launcher" 2>/dev/null || break; sleep 0.1; done
took=$(($(date +%s) - sent))
wait "$launcher"
launcher=
((took < 15)) || fail "Exit took $took s during a tick of twenty launches"
[[ $(entries "Closing program...") == 1 ]] || fail "no Closing program... after Exit during the tick"
(($(grep -c "launched successfully" "$log") < 20)) || fail "the tick went on launching after Exit"

# A link in place of the day's log: nothing is written through it, and stderr says so once. The
# SIGTERM comes while the launcher still tries the log's first entry, during start-up: an Exit even
# then, not a signal's default end.
rm -f "$log"
echo "precious" >"$work/elsewhere.txt"
ln -s "$work/elsewhere.txt" "$log"
start -A
wait_for_condition 'grep -qF "is a symbolic link" "$work/stderr.txt"' "no word of the link on stderr"
stop "link"
[[ "$(cat "$work/elsewhere.txt")" == "precious" ]] || fail "the log was written through a link"
[[ $(grep -c "is a symbolic link" "$work/stderr.txt") == 1 ]] || fail "the link was reported more than once"
rm -f "$log"

# A FIFO, then a directory, at the status file's temporary name: the launcher neither hangs nor
# stops, says once for each that it cannot write its status, and takes away the status it can no
# longer keep, so that --status calls it stale instead of showing it as the present one.
printf '%s\n' "$valid" | sed 's/^tagfile=f.txt$/tagfile=f.txt\nlaunchperiod=1\nphase=0/' >"$work/tavrorun.ini"
rm -f "$log" "$work/tavrorun.status"
mkfifo "$work/tavrorun.status.tmp"
start_launcher "2026-12-07 10:00:30" 10
launches() { grep -c "launched successfully" "$log" 2>/dev/null; }
wait_for_condition '(($(launches) >= 1))' "no launch with a FIFO at the status file's temporary name"
"$bin/tavrocheck" --ini "$work/tavrorun.ini" --status >/dev/null 2>&1
[[ $? == 4 ]] || fail "--status with a FIFO at the temporary name did not say stale"
rm "$work/tavrorun.status.tmp" && mkdir "$work/tavrorun.status.tmp"
wait_for_condition '(($(launches) >= 3))' "no further launches with a directory at the temporary name"
for reason in "not a regular file" "a directory"; do
  expect_count "$log" "Cannot write the status file $work/tavrorun.status.tmp: it is $reason" 1
done
rmdir "$work/tavrorun.status.tmp"
wait_for_condition '"$bin/tavrocheck" --ini "$work/tavrorun.ini" --status >/dev/null 2>&1' "no status once it can be written"
stop "status"

# A directory at root's lock path: the launcher does not run unguarded but says why, in the log and on
# stderr, and ends with an error. An account's second launcher with another XDG_RUNTIME_DIR, or after
# the account's runtime folder appeared, is refused.
if [[ $(id -u) == 0 ]]; then
  rm -f /run/TAVRORUN_PRG_MUTEX.lock && mkdir /run/TAVRORUN_PRG_MUTEX.lock
  start -A
  wait_for_condition '! kill -0 $launcher 2>/dev/null' "ran despite a directory at the lock's path" || kill -9 "$launcher"
  wait "$launcher" && fail "exit code 0 with a directory at the lock's path"
  launcher=
  for file in "$log" "$work/stderr.txt"; do expect_in "$file" "lock /run/TAVRORUN_PRG_MUTEX.lock: it is a directory"; done
fi
if setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
  own="$work/nobody"
  mkdir "$own" && cp "$bin/tavrorun" "$work/tavrorun.ini" "$own/" && chmod 711 "$work" && chown -R nobody "$own"
  as_nobody() {  # a name for its XDG_RUNTIME_DIR
    cd "$own" && XDG_RUNTIME_DIR=$own/$1 exec timeout 20 setpriv --reuid=nobody --regid=nogroup --clear-groups ./tavrorun
  }
  as_nobody a >/dev/null 2>&1 &
  first=$!
  wait_for_condition 'compgen -G "$own/tavrorun.0*.txt" >/dev/null' "the account's first launcher did not start"
  second=$(as_nobody b 2>&1)
  [[ "$second" == "Program is already running (process "* ]] || fail "the account's second launcher said: $second"
  # The account logs in: its runtime folder appears (this test's /run is its own). A launcher
  # started now still meets the first one, started before the login.
  mkdir -p /run/user && install -d -m 700 -o nobody "/run/user/$(id -u nobody)"
  second=$(as_nobody c 2>&1)
  [[ "$second" == "Program is already running (process "* ]] || fail "a launcher after the login said: $second"
  # The account's home (/nonexistent) is no place for the lock: it lies beside the launcher, said.
  grep -qF "The single-instance lock is beside the launcher, in $own (" "$own"/tavrorun.0*.txt ||
    fail "no word of the lock beside the launcher"
  kill "$first"
fi
# An account with a home of its own: its launchers meet there, whichever folders they were copied to
# and whether or not the account is logged in (the password database is this test's own).
if [[ $(id -u) == 0 ]] && setpriv --reuid=4321 --regid=4321 --clear-groups true 2>/dev/null; then
  home="$work/home"
  install -d -m 700 -o 4321 "$home"
  { cat /etc/passwd; echo "tavrotest:x:4321:4321::$home:/bin/sh"; } >"$work/passwd"
  mount --bind "$work/passwd" /etc/passwd
  for copy in a b c; do
    mkdir "$work/$copy" && cp "$bin/tavrorun" "$work/tavrorun.ini" "$work/$copy/" && chown -R 4321 "$work/$copy"
  done
  chmod 711 "$work"
  as_account() {  # the copy to start
    cd "$work/$1" && exec timeout 20 setpriv --reuid=4321 --regid=4321 --clear-groups ./tavrorun
  }
  as_account a >/dev/null 2>&1 &
  first=$!
  wait_for_condition 'compgen -G "$work/a/tavrorun.0*.txt" >/dev/null' "the account's first launcher did not start"
  second=$(as_account b 2>&1)
  [[ "$second" == "Program is already running (process "* ]] || fail "a copy in another folder said: $second"
  install -d -m 700 -o 4321 /run/user/4321
  second=$(as_account c 2>&1)
  [[ "$second" == "Program is already running (process "* ]] || fail "a copy after the login said: $second"
  [[ -f "$home/.TAVRORUN_PRG_MUTEX.lock" ]] || fail "no lock in the account's home"
  kill "$first"
  wait "$first" 2>/dev/null
  umount /etc/passwd
fi

if ((failures > 0)); then
  echo "--- log"; cat "$log" 2>/dev/null; echo "--- stderr"; cat "$work/stderr.txt"
  exit 1
fi
echo "odd files end-to-end: all checks passed"
