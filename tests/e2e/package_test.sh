#!/usr/bin/env bash
# The Debian package of this build: CPack builds it as scripts/package does; dpkg-deb shows what it
# holds (tavrorun in its own folder under /opt with the example configuration, a plain tavrocheck
# in /usr/bin, the reference pages), its library dependencies, that no maintainer script installs
# or enables the service, and that the packaged programs run.
set -uo pipefail
source "$(dirname "$0")/helpers.sh"

bin=$1
build=$(cd "$bin/.." && pwd)
for tool in cpack dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" >"$work/cpack.txt" 2>&1 || fail "cpack: $(cat "$work/cpack.txt")"
deb=$(ls "$work"/cpack/tavro-launcher_*.deb 2>/dev/null | head -n 1)
if [[ -z "$deb" ]]; then
  finish "package" "$work/cpack.txt"
  exit 1
fi

dpkg-deb --contents "$deb" | awk '{ print substr($1, 1, 1), $6 }' >"$work/contents.txt"
for entry in "- ./opt/tavro/tavrorun" "- ./opt/tavro/tavrorun.ini.example" "- ./opt/tavro/jobs/demojob" "- ./usr/bin/tavrocheck" \
  "- ./usr/share/doc/tavro-launcher/tavrorun.1.md" "- ./usr/share/doc/tavro-launcher/tavrocheck.1.md"; do
  grep -qxF -- "$entry" "$work/contents.txt" || fail "the package lacks the plain file ${entry#- }"
done
# The configuration and the logs are the engineer's: the package never holds them; nor a unit.
for absent in "./opt/tavro/tavrorun.ini" "TavroRunner.service" "/etc/"; do
  grep -qF -- "$absent" <(grep -v "tavrorun.ini.example" "$work/contents.txt") && fail "the package holds $absent"
done
grep -q "^l" "$work/contents.txt" && fail "the package holds a symlink: $(grep "^l" "$work/contents.txt")"
[[ "$(dpkg-deb --field "$deb" Package)" == tavro-launcher ]] || fail "package name: $(dpkg-deb --field "$deb" Package)"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libncursesw6; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t >"$work/control.txt"
grep -qE "(pre|post)(inst|rm)$" "$work/control.txt" && fail "the package has maintainer scripts: $(tr '\n' ' ' <"$work/control.txt")"

# The packaged programs run: the version, and the example configuration is valid.
dpkg-deb -x "$deb" "$work/root"
version=$("$work/root/opt/tavro/tavrorun" --version)
[[ "$version" == "Tavro Launcher $(dpkg-deb --field "$deb" Version)" ]] || fail "tavrorun --version: $version"
# Copied to tavrorun.ini it runs as it stands, its jobs being the packaged demo job (here below the
# folder the package was unpacked to instead of /).
sed "s|/opt/tavro/|$work/root/opt/tavro/|" "$work/root/opt/tavro/tavrorun.ini.example" >"$work/root/opt/tavro/tavrorun.ini"
"$work/root/usr/bin/tavrocheck" --ini "$work/root/opt/tavro/tavrorun.ini" >"$work/check.txt" 2>&1 ||
  fail "the example configuration is not valid as installed: $(cat "$work/check.txt")"

finish "package" "$work/contents.txt" "$work/control.txt"
