#!/usr/bin/env bash
# The Debian package of this build, as CPack builds it for scripts/package: what it holds (the
# launcher's folder under /opt, its configuration a configuration file under /etc/opt, the example
# and its demo job apart, the manual pages) and its whole life with dpkg in a scratch root: install,
# the service installed by the launcher, the probe of the installed configuration with the PI API
# library beside the launcher, an upgrade that keeps the edited configuration, removal
# that takes the service's unit away and keeps configuration and logs, purge that leaves nothing.
set -uo pipefail
source "$(dirname "$0")/isolated.sh"  # a mount namespace of its own: the scratch root's /proc
source "$(dirname "$0")/helpers.sh"

bin=$1
build=$(cd "$bin/.." && pwd)
for tool in cpack dpkg-deb dpkg chroot ldd; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'umount "$work/root/proc" "$work/root/dev/null" 2>/dev/null; rm -rf --one-file-system "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" >"$work/cpack.txt" 2>&1 || fail "cpack: $(cat "$work/cpack.txt")"
deb=$(ls "$work"/cpack/tavro-launcher_*.deb 2>/dev/null | head -n 1)
if [[ -z "$deb" ]]; then
  finish "package" "$work/cpack.txt"
  exit 1
fi

dpkg-deb --contents "$deb" | awk '{ entry = substr($1, 1, 1) " " $6; if ($8 != "") entry = entry " " $8; print entry }' >"$work/contents.txt"
for entry in "- ./opt/tavro/tavrorun" "l ./opt/tavro/tavrorun.ini /etc/opt/tavro/tavrorun.ini" \
  "- ./etc/opt/tavro/tavrorun.ini" "l ./var/opt/tavro /opt/tavro" "- ./opt/tavro/examples/tavrorun.ini" \
  "- ./opt/tavro/examples/demojob" "- ./usr/bin/tavrocheck" "- ./usr/share/man/man1/tavrorun.1.gz" \
  "- ./usr/share/man/man1/tavrocheck.1.gz" "- ./usr/share/man/man5/tavrorun.ini.5.gz"; do
  grep -qxF -- "$entry" "$work/contents.txt" || fail "the package lacks ${entry#? }"
done
grep -qF -- "./opt/tavro/jobs" "$work/contents.txt" && fail "the demo job lies among the plant's programs"
grep -qF -- "TavroRunner.service" "$work/contents.txt" && fail "the package holds the service's unit"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libodbc2; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles >"$work/conffiles.txt" 2>/dev/null
[[ "$(cat "$work/conffiles.txt")" == /etc/opt/tavro/tavrorun.ini ]] || fail "conffiles: $(cat "$work/conffiles.txt")"
for page in man1/tavrorun.1 man1/tavrocheck.1 man5/tavrorun.ini.5; do
  dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./usr/share/man/$page.gz" >"$work/${page#*/}.gz"
  page=${page#*/}
  # A wide table only wraps on a narrow terminal; anything else troff says is a fault of the page.
  MANWIDTH=80 man --warnings -l "$work/$page.gz" 2>&1 >"$work/$page.txt" |
    grep -vE "table wider than line width|^warning: file '<standard input>', around line" >"$work/$page.warnings"
  grep -q "^NAME" "$work/$page.txt" && [[ ! -s "$work/$page.warnings" ]] ||
    fail "man $page: $(head -3 "$work/$page.txt" "$work/$page.warnings")"
done

# The life cycle needs chroot (dpkg runs the maintainer scripts inside the root): root only.
if [[ $(id -u) -ne 0 ]]; then
  echo "note: not root; the install, upgrade, removal and purge are not tried"
  finish "package" "$work/contents.txt"
  exit 0
fi
# A scratch root with what the maintainer scripts and the launcher need, and a recording systemctl.
root="$work/root"
mkdir -p "$root"/{bin,dev,proc,usr/bin,etc/systemd/system,tmp,var/lib/dpkg/{info,updates,triggers}}
touch "$root/dev/null"
if ! mount -t proc proc "$root/proc" || ! mount --bind /dev/null "$root/dev/null"; then
  echo "SKIP: no /proc or /dev/null can be mounted in the scratch root"
  exit 77
fi
touch "$root/var/lib/dpkg/status"
for program in /bin/sh /bin/rm /bin/rmdir /bin/cat "$bin/tavrorun" "$bin/tavrocheck" "$bin/piapi/complete/libpiapi.so"; do
  cp "$program" "$root/bin/"
  for library in $(ldd "$program" | grep -o '/[^ ]*'); do
    mkdir -p "$root$(dirname "$library")"
    cp -L "$library" "$root$library"
  done
done
cat >"$root/usr/bin/systemctl" <<'SH'
#!/bin/sh
echo "$*" >>/tmp/systemctl-calls.txt
SH
chmod +x "$root/usr/bin/systemctl"
listing() { find "$root" -mindepth 1 \( -path "$root/proc" -o -path "$root/dev" -o -path "$root/var/lib/dpkg" \) -prune -o -print | sort; }
listing >"$work/before.txt"

pkg() { dpkg --root="$root" --force-depends --force-confold --log=/dev/null "$@" >>"$work/dpkg.txt" 2>&1 || fail "dpkg $*"; }
chroot=$(command -v chroot)
in_root() { PATH=/usr/bin:/bin "$chroot" "$root" "$@"; }

pkg -i "$deb"
in_root /opt/tavro/tavrorun -install -silent >"$work/install.txt" 2>&1 || fail "tavrorun -install: $(cat "$work/install.txt")"
[[ -e "$root/etc/systemd/system/TavroRunner.service" ]] || fail "no unit after -install"
in_root /bin/cat /opt/tavro/tavrorun.ini >/dev/null || fail "the configuration is not reachable beside the launcher"
# tavrocheck started where there is no tavrorun.ini reads the installed one (its fresh copy names no
# job yet: an error, exit code 1).
in_root /usr/bin/tavrocheck >"$work/check.txt" 2>&1
expect_in "$work/check.txt" "No batch, pump or task found in file /opt/tavro/tavrorun.ini"
# The probe of the installed configuration loads the PI API library that the launcher loads, the one
# beside /opt/tavro/tavrorun.
cp "$root/etc/opt/tavro/tavrorun.ini" "$work/installed.ini"
printf '[program]\nmod=pi\n[pi]\nhost=plant\napiado=0\n[tasks]\ncount=1\n[task_1]\nexename=/bin/true\ntaskname=T\nrunningtag=UNIT.RUN\n' \
  >"$root/etc/opt/tavro/tavrorun.ini"
cp "$bin/piapi/complete/libpiapi.so" "$root/opt/tavro/"
TAVRO_FAKE_PIAPI="point.UNIT.RUN=1" in_root /usr/bin/tavrocheck --ini /etc/opt/tavro/tavrorun.ini --probe UNIT.RUN \
  >"$work/probe.txt" 2>&1 || fail "the probe of the installed configuration: $(tail -n 3 "$work/probe.txt")"
expect_in "$work/probe.txt" $'value\t1\tgate open'
rm "$root/opt/tavro/libpiapi.so"
cp "$work/installed.ini" "$root/etc/opt/tavro/tavrorun.ini"
echo "; edited by the plant" >>"$root/etc/opt/tavro/tavrorun.ini"

# A newer build: the same package under a higher version.
dpkg-deb -R "$deb" "$work/newer"
version=$(dpkg-deb --field "$deb" Version)
sed -i "s/^Version: .*/Version: $version.1/" "$work/newer/DEBIAN/control"
dpkg-deb -b "$work/newer" "$work/newer.deb" >/dev/null || fail "the newer package was not built"
pkg -i "$work/newer.deb"
expect_in "$root/etc/opt/tavro/tavrorun.ini" "; edited by the plant"
[[ -e "$root/etc/systemd/system/TavroRunner.service" ]] || fail "an upgrade took the unit away"

pkg -r tavro-launcher
[[ -e "$root/etc/systemd/system/TavroRunner.service" ]] && fail "the removal left the service's unit"
expect_in "$root/tmp/systemctl-calls.txt" "disable TavroRunner.service"
expect_in "$root/etc/opt/tavro/tavrorun.ini" "; edited by the plant"
compgen -G "$root/opt/tavro/tavrorun.0*.txt" >/dev/null || fail "the removal took the logs"

pkg -P tavro-launcher
rm -f "$root/tmp/systemctl-calls.txt"
listing >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" >"$work/left.txt" ||
  fail "the purge left: $(grep '^>' "$work/left.txt" | tr '\n' ' ')"

finish "package" "$work/contents.txt" "$work/dpkg.txt" "$work/left.txt"
