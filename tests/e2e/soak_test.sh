#!/usr/bin/env bash
# Weeks of the real tavrorun with 200 jobs of every kind, in a few minutes (soak.py): month ends of
# 28, 30 and 31 days, a year end and 29 February 2028; no growth of memory, descriptors, threads or
# processor time; the daily log files and their clean-up; every hourly reading; every launch as
# `tavrocheck --plan` has it. Labelled "soak": `ctest -LE soak` leaves it out of a quick run.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"  # the launcher takes the machine's lock in /run

bin=$1
[[ -e "$bin/libevent_clock.so" ]] || { echo "SKIP: no event clock library in $bin"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$(dirname "$0")/soak.py" "$bin" "$work" && echo "soak end-to-end: all checks passed"
