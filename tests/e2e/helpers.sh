# Shared helpers of the end-to-end tests (sourced, not a test itself): checks that count failures,
# waits with deadlines, and a private /dev/log. A test that starts tavrorun sources isolated.sh
# first, which runs it in a mount namespace of its own.

failures=0
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
# The test's own folder, $work: at the end the launcher still in $launcher is killed, the commands
# of $at_exit run and the folder goes.
new_work() {
  work=$(mktemp -d) launcher= at_exit=
  trap 'kill -9 $launcher 2>/dev/null; eval "$at_exit"; rm -rf "$work"' EXIT
}
# tavrorun of $bin in $work, and the job programs named in $work/jobs.
copy_programs() {  # job programs...
  mkdir -p "$work/jobs" && cp "$bin/tavrorun" "$work/" && { (($# == 0)) || (cd "$bin" && cp "$@" "$work/jobs/"); }
}
# tavrorun -A in $work as $launcher, its output added to $work/stdout.txt; given START and SPEED,
# on a clock that starts at START and runs SPEED times real time. NAME=value: more environment.
start_launcher() {  # [start speed] [NAME=value...]
  local clock=()
  if (($# >= 2)) && [[ $1 != *=* ]]; then
    clock=(LD_PRELOAD="$libfaketime" FAKETIME="@$1 x$2")
    shift 2
  fi
  (cd "$work" && exec env "${clock[@]}" "$@" ./tavrorun -A) </dev/null >>"$work/stdout.txt" 2>&1 &
  launcher=$!
}
# SIGTERM to $launcher: it ends within SECONDS (30) with exit code 0.
stop_launcher() {  # [what for, in the failures] [seconds]
  local prefix=${1:+$1: } code
  kill -TERM "$launcher" 2>/dev/null
  wait_until "${2:-30}" ended "$launcher" || { fail "${prefix}tavrorun did not end on SIGTERM"; kill -9 "$launcher"; }
  wait "$launcher" 2>/dev/null
  code=$?
  ((code == 0)) || fail "${prefix}exit code $code after SIGTERM"
  launcher=
}
# pg_proxy.py for $work as $proxy, in front of the server at the port given (if any); true once it
# listens (its port in $work/proxy.port).
start_proxy() {  # [server port]
  python3 "$(dirname "${BASH_SOURCE[0]}")/pg_proxy.py" "$work" "$@" &
  proxy=$!
  at_exit+=$'\n'"kill $proxy 2>/dev/null"
  wait_until 30 test -s "$work/proxy.port"
}
# A test of a PostgreSQL source runs itself again beside a throw-away server (postgres_server.sh
# gives it TAVRO_PG_*), unless it already runs so.
beside_postgres() {  # the test's arguments
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  [[ -n "${2:-}" ]] || exec bash "$here/../testing/postgres_server.sh" --seed "$here/../sources/postgres_seed.sql" -- \
    bash "$0" "$1" served
}
# A path of this machine as the Windows build under wine names it.
windows_path() { echo "Z:${1//\//\\}"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_in() {  # file, fixed text
  grep -qF -- "$2" "$1" 2>/dev/null || fail "$(basename "$1") lacks: $2"
}
expect_not_in() {  # file, fixed text
  if grep -qF -- "$2" "$1" 2>/dev/null; then fail "$(basename "$1") has: $2"; fi
}
expect_count() {  # file, fixed text, count
  local n
  n=$(grep -cF -- "$2" "$1" 2>/dev/null)
  [[ "$n" == "$3" ]] || fail "$(basename "$1") has $n times (not $3): $2"
}
# The lines of a file that contain the given texts, in this order (other lines may come between).
expect_order() {  # file, text...
  local file=$1 line=0 found
  shift
  for text in "$@"; do
    found=$(tail -n +"$((line + 1))" "$file" 2>/dev/null | grep -nF -m1 -- "$text" | cut -d: -f1)
    if [[ -z "$found" ]]; then
      fail "$(basename "$file") lacks, in order: $text"
      return
    fi
    line=$((line + found))
  done
}

# Slot numbers, one a line (minutes of one hour, say): each once, rising, none passed over.
expect_consecutive() {  # numbers, what each is
  [[ $(sort -u <<<"$1") == "$1" ]] || fail "$2s launched twice or out of order: $1"
  [[ $(grep -c . <<<"$1") == $((10#$(tail -n 1 <<<"$1") - 10#$(head -n 1 <<<"$1") + 1)) ]] ||
    fail "a $2 was passed over: $1"
}

# wait_until SECONDS COMMAND...: true as soon as COMMAND succeeds, false when SECONDS have passed.
# Deadlines are generous: they only end a test that has failed anyway.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}
# A process that has ended (or never was).
ended() { ! kill -0 "$1" 2>/dev/null; }

# In the test's mount namespace (isolated.sh): a /dev of its own that holds only the plain devices of the real one
# and a datagram recorder as /dev/log, so that what a program sends to syslog lands in the file
# given. Only device files are bound (never a folder of the real /dev), and release_private_dev
# takes it all down again before the test's folder is removed.
private_system_log() {  # recorder program, output file
  # Never in the machine's own mount namespace (a test started by hand past isolated.sh): there it
  # would cover the machine's /dev.
  [[ "$(readlink /proc/self/ns/mnt)" != "$(readlink /proc/1/ns/mnt)" ]] || return 1
  local dev=$work/dev
  mkdir -p "$dev"
  mount -t tmpfs tavro-e2e-dev "$dev" || return 1
  for device in null zero random urandom tty full; do
    [[ -c /dev/$device ]] || continue
    touch "$dev/$device" && mount --bind "/dev/$device" "$dev/$device" || return 1
  done
  ln -s /proc/self/fd "$dev/fd"
  mount --rbind "$dev" /dev || return 1
  "$1" /dev/log "$2" &
  wait_until 30 test -S /dev/log
}
release_private_dev() {
  if mountpoint -q "$work/dev" 2>/dev/null; then
    umount -R /dev 2>/dev/null
    umount -R "$work/dev"
  fi
}

# The end of a test: the outcome, and what helps to understand a failure (and the launcher's output).
finish() {  # name, files to show on failure...
  local name=$1
  shift
  if ((failures > 0)); then
    for file in "$@" "$work/stdout.txt"; do
      echo "--- $file"
      cat "$file" 2>/dev/null
    done
    echo "$name: $failures checks failed"
    exit 1
  fi
  echo "$name: all checks passed"
}
