#!/usr/bin/env bash
# What keeps the resident launcher small stays so: the C++ runtime is linked in, and nothing pulls
# the maths library back (a third of a megabyte resident for the whole life of the process).
set -uo pipefail
bin=$1
needed=$(readelf -d "$bin/tavrorun" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
status=0
for library in libm.so libstdc++.so libgcc_s.so; do
  if grep -q "^$library" <<<"$needed"; then
    echo "FAIL: tavrorun needs $library"
    status=1
  fi
done
[[ -n $needed ]] || { echo "FAIL: readelf found no libraries for $bin/tavrorun"; status=1; }
exit $status
