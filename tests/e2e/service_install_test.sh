#!/usr/bin/env bash
# tavrorun -INSTALL / -UNINSTALL on Linux without a running systemd: the unit goes into a staging
# unit folder (TAVRORUN_UNIT_DIR) and a recording systemctl on PATH stands in for the manager. The
# unit's text (checked by systemd-analyze verify and security where it exists), the systemctl steps,
# the reports and exit codes, the refusals, the rollback of a failed enable, a unit folder that may
# not be written, and "\INSTALL", which installs nothing.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
source "$(dirname "$0")/helpers.sh"

bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
launcher_dir="$work/opt tavro"  # a blank in the path, which the unit must quote
exe="$launcher_dir/tavrorun"
mkdir -p "$launcher_dir" "$work/units" "$work/fakebin"
cp "$bin/tavrorun" "$launcher_dir/"
printf '[program]\nmod=kord\n' >"$launcher_dir/tavrorun.ini"

calls="$work/systemctl-calls.txt"
cat >"$work/fakebin/systemctl" <<'SH'
#!/usr/bin/env bash
echo "$*" >>"$SYSTEMCTL_CALLS"
if [[ " ${FAKE_SYSTEMCTL_FAIL:-} " == *" $1 "* ]]; then
  echo "Failed to $1 unit: simulated failure" >&2
  exit 1
fi
SH
chmod +x "$work/fakebin/systemctl"
export PATH="$work/fakebin:$PATH" TAVRORUN_UNIT_DIR="$work/units" SYSTEMCTL_CALLS="$calls"
unit="$work/units/TavroRunner.service"

run() {  # name, switches...: runs tavrorun, keeps its exit code, output and error output
  local name=$1
  shift
  : >"$calls"
  "$exe" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null
  echo $? >"$work/$name.code"
}
expect_code() { [[ "$(cat "$work/$1.code")" == "$2" ]] || fail "$1: exit code $(cat "$work/$1.code"), not $2"; }
expect_calls() {  # the systemctl calls, one per argument, exactly
  local expected
  expected=$(printf '%s\n' "$@")
  [[ "$(cat "$calls")" == "$expected" ]] || fail "systemctl calls: $(tr '\n' ';' <"$calls") (not: $(echo "$expected" | tr '\n' ';'))"
}

# Install: the unit, reloaded and enabled.
run install -INSTALL
expect_code install 0
[[ "$(cat "$work/install.out")" == "Service installed successfully" ]] || fail "install said: $(cat "$work/install.out")"
expect_calls "daemon-reload" "enable TavroRunner.service"
grep -qxF "ExecStart=\"$exe\"" "$unit" || fail "the unit does not start $exe: $(grep ExecStart "$unit")"
if command -v systemd-analyze >/dev/null; then
  systemd-analyze verify "$unit" >"$work/verify.txt" 2>&1 || fail "systemd-analyze verify: $(cat "$work/verify.txt")"
  # Hardened, yet leaving the launched programs their places (an exposure of 7 at most).
  if systemd-analyze security --offline=true "$unit" >"$work/security.txt" 2>&1; then
    exposure=$(sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p' "$work/security.txt")
    awk -v e="$exposure" 'BEGIN { exit !(e != "" && e <= 7.0) }' || fail "exposure ${exposure:-unknown}: $(tail -1 "$work/security.txt")"
  fi
else
  echo "note: systemd-analyze not present, the unit is not verified"
fi
# An install call also reads the configuration, but never asks how it was started.
log=$(ls "$launcher_dir"/tavrorun.0*.txt)
expect_in "$log" "Starting program..."
expect_not_in "$log" "Start as"

# A second install: refused, also with SILENT, exit code 1, and the unit stays as it was.
already='Service "Cyclic Tavro Launcher Service" failed to install with error: "already installed"'
cp "$unit" "$work/unit-before.txt"
for switches in "-install" "/install /silent"; do
  # shellcheck disable=SC2086
  run again $switches
  expect_code again 1
  expect_in "$work/again.err" "$already"
  [[ -s "$work/again.out" ]] && fail "$switches printed: $(cat "$work/again.out")"
  expect_calls
done
cmp -s "$unit" "$work/unit-before.txt" || fail "a refused install changed the unit"

# Uninstall: disabled, removed, reloaded; a second time refused.
run uninstall -UNINSTALL
expect_code uninstall 0
[[ "$(cat "$work/uninstall.out")" == "Service uninstalled successfully" ]] || fail "uninstall said: $(cat "$work/uninstall.out")"
expect_calls "disable TavroRunner.service" "daemon-reload"
[[ -e "$unit" ]] && fail "the unit is still there after -UNINSTALL"
run uninstall-again /Uninstall /SILENT
expect_code uninstall-again 1
expect_in "$work/uninstall-again.err" 'Service "Cyclic Tavro Launcher Service" failed to uninstall with error: "not installed"'

# SILENT keeps a success quiet.
run silent /INSTALL -silent
expect_code silent 0
[[ -s "$work/silent.out" ]] && fail "a silent install said: $(cat "$work/silent.out")"
expect_not_in "$work/silent.err" "Service"
[[ -e "$unit" ]] || fail "a silent install wrote no unit"
run silent-remove -uninstall -silent
[[ -e "$unit" ]] && fail "a silent uninstall left the unit"

# A failed enable takes the unit away again: an install happens whole or not at all.
FAKE_SYSTEMCTL_FAIL=enable run rollback -INSTALL
expect_code rollback 1
expect_in "$work/rollback.err" "systemctl enable TavroRunner.service ended with exit code 1: Failed to enable unit: simulated failure"
expect_calls "daemon-reload" "enable TavroRunner.service" "daemon-reload"
[[ -e "$unit" ]] && fail "a failed install left the unit behind"

# Where no systemd runs, the real systemctl cannot reload: refused with the reason, nothing left.
real_path=${PATH#"$work/fakebin:"}
if [[ ! -d /run/systemd/system ]] && PATH=$real_path command -v systemctl >/dev/null; then
  PATH=$real_path run nosystemd -INSTALL
  expect_code nosystemd 1
  expect_in "$work/nosystemd.err" 'failed to install with error: "systemd is not running'
  [[ -e "$unit" ]] && fail "an install without systemd left the unit behind"
fi

# "\INSTALL" takes the service path without installing: a hand start of a service, which fails.
run backslash '\INSTALL'
expect_code backslash 1
expect_in "$work/backslash.err" "could not connect to the service manager"
expect_in "$work/backslash.err" "is not installed; install it with: tavrorun -INSTALL"
[[ -e "$unit" ]] && fail "\\INSTALL installed the unit"

# Not allowed to write the unit folder: exit code 1 and the cure.
if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  chmod 755 "$work/units"
  : >"$calls"
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$exe" -INSTALL >"$work/fatal.out" 2>"$work/fatal.err" </dev/null
  code=$?
  [[ $code -eq 1 ]] || fail "install without the right to write the unit folder: exit code $code, not 1"
  expect_in "$work/fatal.err" 'failed to install with error: "permission denied: run as root'
  [[ -e "$unit" ]] && fail "an install without rights wrote the unit"
else
  echo "note: setpriv or the user nobody missing; the fatal case is not tried"
fi

finish "service install" "$work"/*.out "$work"/*.err "$calls"
