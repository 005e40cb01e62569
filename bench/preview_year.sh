#!/usr/bin/env bash
# Measures the launch preview on a large configuration: a year of ticks (8,760 hours, about
# 3.1 million ticks with their hourly readings) of 40 pumps, 20 batches, 60 tasks and 20 reports.
# Usage: bench/preview_year.sh [build folder]   (default: build/linux)
set -euo pipefail
build=${1:-build/linux}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ini="$work/large.ini"
{
  echo "[program]"; echo "mod=kord"
  echo "[pumps]"; echo "count=40"
  for i in $(seq 1 40); do
    printf '[pump_%d]\nlaunchperiod=%d\nphase=%d\nexename=/opt/tavro/pump\nsource=S%d\ntarget=T%d\ntagfile=tags%d.txt\n' \
      "$i" $((15 * (i % 4 + 1))) $((i % 10)) "$i" "$i" "$i"
  done
  echo "[batches]"; echo "count=20"
  for i in $(seq 1 20); do
    printf '[batch_%d]\ntype=%d\nday=%d\nphase=%d\nexename=/opt/tavro/batch\ntaskname=Batch %d\n' \
      "$i" $((i % 3)) $((i % 7 + 1)) $((10 * i)) "$i"
  done
  echo "[tasks]"; echo "count=60"
  for i in $(seq 1 60); do
    printf '[task_%d]\nlaunchperiod=%d\nphase=%d\nintervallength=15\nexename=/opt/tavro/task\ntaskname=Task %d\nrunningtag=TAG%d\n' \
      "$i" $((i % 2 == 0 ? 15 : 120)) $((i % 15)) "$i" "$i"
  done
  echo "[reports]"; echo "count=20"; echo "exename=/opt/tavro/report"
  for i in $(seq 1 20); do
    printf '[report_%d]\nhour=%d\nminute=%d\ntemplate=rep%d\n' "$i" $((i % 24)) $((3 * i % 60)) "$i"
  done
} >"$ini"

start=$(date +%s.%N)
lines=$("$build/bin/tavrocheck" --plan 8760 --ini "$ini" --now "2026-01-01 00:00:00" | wc -l)
end=$(date +%s.%N)
awk -v n="$lines" -v s="$start" -v e="$end" 'BEGIN { printf "preview of one year: %d launches in %.2f s\n", n, e - s }'
