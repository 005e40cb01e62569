#!/usr/bin/env bash
# The terminal window of tavrorun, driven for real in tmux (send-keys to type, capture-pane to read
# the screen): the caption, the menu and the panels; Ctrl+S, Ctrl+O, the menu by F10, Alt+L,
# arrows, Enter, Esc and access keys with greyed items that cannot be invoked; ReRead ini; the jobs
# table by F2; a
# resize; Ctrl+Q with "Closing program..."; the terminal given back after Exit, SIGTERM, SIGHUP
# and a crash; "A" with an invalid file; "H", which hides at the next tick and goes on detached.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"
source "$(dirname "$0")/helpers.sh"
if ! command -v tmux >/dev/null; then
  echo "SKIP: tmux is not installed (scripts/setup installs it)"
  exit 77
fi

# A UTF-8 terminal, so that the window's lines are the same characters on every machine.
export LC_ALL=C.UTF-8
bin=$1
work=$(mktemp -d)
tmux=(tmux -S "$work/tmux.sock")
trap '"${tmux[@]}" kill-server 2>/dev/null; pkill -KILL -f "^$work/tavrorun" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/jobs"
cp "$bin/tavrorun" "$work/"
cp "$bin/demojob" "$work/jobs/"
valid_ini="[program]
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
tagfile=tags.txt"
echo "$valid_ini" >"$work/tavrorun.ini"
output="$work/jobs/demo-output.txt"
log_day=$(date +%d)
log() { echo "$work/tavrorun.0$log_day.txt"; }
# How many entries of the log are exactly this message.
count_in_log() { awk -F'\t' -v message="$1" '{ sub(/\r$/, "") } $2 == message { n++ } END { print n + 0 }' "$(log)" 2>/dev/null; }

# A session that lives as long as the test, so that the tmux server does not end (and a new window's
# client does not meet a server on its way out) when a window's session is killed.
"${tmux[@]}" new-session -d -s keeper "sleep 600"
# The window in a fresh pane; after it ends, the pane shows the exit code and the terminal's modes.
open_window() {  # environment and switches, as one shell text
  "${tmux[@]}" kill-session -t window 2>/dev/null
  "${tmux[@]}" new-session -d -s window -x 100 -y 30 \
    "cd '$work' && $1; echo EXITED:\$?; stty -a | tr '\\n' ' '; echo; sleep 600"
  wait_until 30 on_screen "Tavro Launcher running as Program" || fail "no window for: $1"
}
screen() { "${tmux[@]}" capture-pane -p -t window; }
on_screen() { screen | grep -qF -- "$1"; }
status_bar() { screen | tail -n 1; }
keys() { "${tmux[@]}" send-keys -t window "$@"; }
launcher_pid() { pgrep -f "^$work/tavrorun" | head -n 1; }
# The drop-down row that holds the text is shown dim (greyed).
greyed() { "${tmux[@]}" capture-pane -p -e -t window | grep -F -- "$1" | grep -qE $'\e\\[([0-9;]*;)?2(;[0-9;]*)?m'; }
# After the window: an exit code, and the terminal back in its usual modes.
expect_terminal_back() {  # exit code, what ended it
  wait_until 30 on_screen "EXITED:" || { fail "$2: the window did not end"; return; }
  on_screen "EXITED:$1" || fail "$2: $(screen | grep -o 'EXITED:[0-9]*'), not EXITED:$1"
  for mode in " icanon" " echo " " ixon" " isig"; do
    screen | grep -q -- "$mode" || fail "$2: the terminal was not given back (no$mode)"
  done
  on_screen "Tavro Launcher running as Program" && fail "$2: the window's screen is still shown"
}

# The window, the menu and the panels.
open_window "$work/tavrorun"
on_screen " Launch  Exit" || fail "no menu bar"
status_bar | grep -q "Enabled .*│Stopped" || fail "status bar: $(status_bar)"
on_screen "Starting program..." || fail "the day's log is not shown"

# Ctrl+S starts: "Running", and Start greyed in the menu while Stop is not.
keys C-s
wait_until 30 eval 'status_bar | grep -q "│Running"' || fail "Ctrl+S did not start: $(status_bar)"
wait_until 30 on_screen "Starting" || fail "the log's Starting is not shown"
keys F10
wait_until 30 on_screen "Ctrl+S" || fail "F10 did not open the menu"
greyed "Ctrl+S" || fail "Start is not greyed while running"
greyed "Ctrl+O" && fail "Stop is greyed while running"
greyed "ReRead " || fail "ReRead ini is not greyed while running"
keys s  # the access key of a greyed item does nothing
keys Escape
wait_until 30 eval '! on_screen "Ctrl+S"' || fail "Esc did not close the menu"
[[ $(count_in_log "Starting") == 1 ]] || fail "a greyed Start was invoked"

# Ctrl+O stops; the menu follows.
keys C-o
wait_until 30 eval 'status_bar | grep -q "│Stopped"' || fail "Ctrl+O did not stop: $(status_bar)"
[[ $(count_in_log "Stopped") == 1 ]] || fail "Stopped logged $(count_in_log "Stopped") times"
keys M-l
wait_until 30 on_screen "Ctrl+S" || fail "Alt+L did not open the menu"
greyed "Ctrl+S" && fail "Start is greyed while stopped"
greyed "Ctrl+O" || fail "Stop is not greyed while stopped"

# ReRead ini by its access key, then by the arrows (Enter on the greyed Stop does nothing).
readings=$(count_in_log "Reading ini...")
keys i
wait_until 30 eval '[[ $(count_in_log "Reading ini...") == $((readings + 1)) ]]' || fail "i did not re-read"
# The menu stays open after Enter on the greyed Stop: the next Down and Enter re-read from it.
keys F10 Down Enter
keys Down Enter
wait_until 30 eval '[[ $(count_in_log "Reading ini...") == $((readings + 2)) ]]' ||
  fail "the arrows and Enter did not re-read (did Enter on a greyed item close the menu?)"
[[ $(count_in_log "Stopped") == 1 ]] || fail "a greyed Stop was invoked"

# F2: the jobs table in place of the log, and back; the help line says which.
keys F2
wait_until 30 eval 'on_screen "F2 log" && screen | grep -qE "^NEXT +LEFT +LAST +PASSED +JOB +RESULT"' || fail "F2: no jobs table"
on_screen "pump 1 $work/jobs/demojob" || fail "F2: the pump is not in the table"
keys F2
wait_until 30 eval 'on_screen "F2 jobs" && on_screen "Starting program..."' || fail "F2 again: the log is not back"

# A resize: the panels move with the width.
"${tmux[@]}" resize-window -t window -x 72 -y 20
wait_until 30 eval 'status_bar | grep -qE "^Enabled *│Stopped {6,}│$"' || fail "after a resize: $(status_bar)"

# Ctrl+Q exits with "Closing program..." and gives the terminal back.
keys C-q
expect_terminal_back 0 "Ctrl+Q"
[[ $(count_in_log "Closing program...") == 1 ]] || fail "Ctrl+Q did not log Closing program..."

# The other ways out: SIGTERM is Exit; SIGHUP (the terminal went away) closes the window without
# the entry; a crash signal still gives the terminal back.
for way in TERM:0:2 HUP:0:2 SEGV:139:2; do
  IFS=: read -r signal code closings <<<"$way"
  open_window "$work/tavrorun"
  kill -"$signal" "$(launcher_pid)"
  expect_terminal_back "$code" "SIG$signal"
  [[ $(count_in_log "Closing program...") == "$closings" ]] || fail "SIG$signal: Closing program... logged $(count_in_log "Closing program...") times"
done

# "A" with an invalid file: the errors in the panels, stopped.
printf '[pumps]\ncount=1\n' >"$work/tavrorun.ini"
starts=$(count_in_log "Starting")
open_window "$work/tavrorun -A"
wait_until 30 eval 'status_bar | grep -q "^Disabled *│Stopped *│Errors in ini"' || fail "A with errors: $(status_bar)"
[[ $(count_in_log "Starting") == "$starts" ]] || fail "A with errors started the launcher"
keys C-q
expect_terminal_back 0 "Ctrl+Q after A"

# "H": started at once, hidden at the next tick ("Hiding" once), then on without a terminal and
# launching. The clock runs ten times faster, so the ticks come every second.
echo "$valid_ini" >"$work/tavrorun.ini"
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [[ -z "$libfaketime" ]]; then
  fail "libfaketime is not installed (scripts/setup installs it)"
else
  : >"$output"
  log_day=07
  open_window "LD_PRELOAD=$libfaketime FAKETIME='@2026-12-07 10:00:30 x10' $work/tavrorun -H"
  wait_until 60 on_screen "EXITED:0" || fail "H: the window did not close"
  on_screen "goes on without a terminal as process" || fail "H: the terminal was not told where the launcher went"
  expect_terminal_back 0 "H"
  pid=$(launcher_pid)
  if [[ -z "$pid" ]]; then
    fail "H: the launcher did not go on"
  else
    [[ "$(ps -o sid= -p "$pid" | tr -d ' ')" == "$pid" ]] || fail "H: the launcher is not in a session of its own"
    for stream in 0 1 2; do
      [[ "$(readlink "/proc/$pid/fd/$stream")" == /dev/null ]] || fail "H: standard stream $stream is not /dev/null"
    done
    launched=$(wc -l <"$output" 2>/dev/null || echo 0)
    wait_until 120 eval '(( $(wc -l <"$output") > launched ))' || fail "H: the hidden launcher does not launch"
    [[ $(count_in_log "Hiding") == 1 ]] || fail "Hiding logged $(count_in_log "Hiding") times"
    kill -TERM "$pid"
    wait_until 30 ended "$pid" || fail "H: the hidden launcher did not end on SIGTERM"
  fi
fi

finish "terminal window" "$(log)"
