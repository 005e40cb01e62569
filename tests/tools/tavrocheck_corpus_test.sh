#!/usr/bin/env bash
# Every malformed configuration of the corpus gets a verdict from tavrocheck, both read and previewed
# for 48 hours: exit 0 (valid), 1 (errors) or 3 (findings); never a signal, another code or a hang.
# Usage: tavrocheck_corpus_test.sh CORPUS_FOLDER [RUNNER] TAVROCHECK
#   RUNNER runs the program (wine-run for the Windows build).
set -uo pipefail
corpus=$1
shift
check=("$@")
# A hang detector, not a speed test: the slowest file needs about 2 s of processor time, which a
# loaded 2-core machine may stretch tenfold (more under wine).
deadline=60
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
runs=0
# Reports one run; its output is in $work/$2.out.
judge() {  # exit code, mode, file
  runs=$((runs + 1))
  local verdict
  case $1 in
    0 | 1 | 3) return ;;
    124 | 137) verdict="no verdict within $deadline s" ;;
    *) ((($1) > 128)) && verdict="ended by signal $(($1 - 128))" || verdict="exit code $1" ;;
  esac
  failures=$((failures + 1))
  echo "FAIL: $(basename "$3") ($2): $verdict; the end of its output:"
  tail -c 2000 "$work/${2%% *}.out"
  echo
}

for file in "$corpus"/*.ini; do
  # The two readings of a file run side by side: half the time on two cores, and under wine the
  # server stays up between programs.
  timeout -k 5 "$deadline" "${check[@]}" --ini "$file" --now "2024-02-29 23:59:30" >"$work/read.out" 2>&1 &
  read=$!
  timeout -k 5 "$deadline" "${check[@]}" --ini "$file" --now "2024-02-29 23:59:30" --plan 48 >"$work/plan.out" 2>&1 &
  plan=$!
  wait "$read"
  judge $? read "$file"
  wait "$plan"
  judge $? "plan 48" "$file"
done
echo "$runs runs of tavrocheck over $corpus, $failures failed"
((runs > 0 && failures == 0))
