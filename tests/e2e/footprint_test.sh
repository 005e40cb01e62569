#!/usr/bin/env bash
# What keeps the resident launcher small stays so: the C++ runtime is linked in, nothing pulls the
# maths library back (a third of a megabyte resident for the whole life of the process), a headless
# launcher maps neither the terminal's libraries nor the ODBC driver manager, and a machine without
# that one still gets a clear error at the SQL source.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"  # the launcher started below takes the machine's lock in /run
source "$(dirname "$0")/helpers.sh"
bin=$1
needed=$(readelf -d "$bin/tavrorun" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for library in libm.so libstdc++.so libgcc_s.so; do
  grep -q "^$library" <<<"$needed" && fail "tavrorun needs $library"
done
[[ -n $needed ]] || fail "readelf found no libraries for $bin/tavrorun"

new_work
copy_programs
printf '[program]\nmod=kord\n' >"$work/tavrorun.ini"
start_launcher
wait_until 30 grep -qs "Reading ini" "$work/stdout.txt" || fail "the launcher never read its configuration"
mapped=$(grep -o '[^/]*$' "/proc/$launcher/maps")
unmapped=(libodbc)
ls /usr/lib/*/libncursesw.a /usr/lib/*/libtinfo.a >/dev/null 2>&1 && unmapped+=(libncurses libtinfo)
for library in "${unmapped[@]}"; do
  grep -q "^$library" <<<"$mapped" && fail "a headless launcher maps $library"
done

odbc=$(ldconfig -p | sed -n 's/.*libodbc\.so\.2 (.*) => //p' | head -n 1)
if [[ -n $odbc ]] && unshare -m true 2>/dev/null; then
  printf '[program]\nmod=mssql\n[mssql]\nhost=h\nuser=u\npassword=p\ndatabase=d\ntable=t\ntagcolumn=g\ntimecolumn=s\nvaluecolumn=v\n[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\n' >"$work/sql.ini"
  unshare -m bash -c 'mount --bind /dev/null "$(readlink -f "$0")" && exec "$@"' "$odbc" \
    "$bin/tavrocheck" --ini "$work/sql.ini" --probe T >"$work/probe.txt" 2>&1
  [[ $? == 5 ]] || fail "without libodbc the probe did not end with 5 (source unavailable)"
  expect_in "$work/probe.txt" "The ODBC driver manager libodbc.so.2 cannot be loaded"
fi
finish "footprint" "$work/probe.txt"
