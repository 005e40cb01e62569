# Shared helpers of the end-to-end tests (sourced, not a test itself): checks that count failures,
# waits with deadlines, and a private /dev/log. A test that starts tavrorun sources isolated.sh
# first, which runs it in a mount namespace of its own.

failures=0
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

# The end of a test: the outcome, and what helps to understand a failure.
finish() {  # name, files to show on failure...
  local name=$1
  shift
  if ((failures > 0)); then
    for file in "$@"; do
      echo "--- $file"
      cat "$file" 2>/dev/null
    done
    echo "$name: $failures checks failed"
    exit 1
  fi
  echo "$name: all checks passed"
}
