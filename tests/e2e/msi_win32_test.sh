#!/usr/bin/env bash
# The installer's life under wine's msiexec (packaging/windows/build-msi from this build): installed
# silently, the configuration edited, upgraded to a newer build, removed; on the way the findings
# about files others may change or read (wine's access lists follow the Unix modes), and libraries
# planted beside the installed checker and in its current folder, never loaded (WINEDLLOVERRIDES
# makes wine prefer them, as Windows does). What wine's installer does not act upon (restarts,
# delayed start, access lists) is checked in the package's tables. Arguments: bin folder, wine runner.
set -uo pipefail
bin=$1
run=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/helpers.sh"

prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$run")
installed="$prefix/drive_c/Program Files/Tavro"
new_work
keeper=
at_exit='[[ -e "$installed/tavrorun.exe" ]] && "$run" msiexec /x "$(windows_path "$work/new.msi")" /qn >/dev/null 2>&1
  "$run" sc delete TavroRunner >/dev/null 2>&1; touch "$work/done"; [[ -z $keeper ]] || wait "$keeper"; rm -rf "$installed"'
msiexec() { "$run" msiexec "$@" /qn >"$work/msiexec.out" 2>&1 || fail "msiexec $* ended with $?"; }
service_state() { "$run" sc query TavroRunner 2>/dev/null | sed -n 's/.*STATE *: *[0-9]* *\([A-Z_]*\).*/\1/p'; }
reg_value() { "$run" reg query "$1" /v "$2" 2>/dev/null | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
entries() { "$run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
  grep -A3 'DisplayName *REG_SZ *Tavro Launcher' | sed -n 's/^ *DisplayVersion *REG_SZ *//p'; }
services='HKLM\SYSTEM\CurrentControlSet\Services'

# The programs as built, and a newer build of them: the launcher with bytes of its own at its end.
mkdir "$work/old" "$work/new"
cp "$bin/tavrorun.exe" "$bin/tavrocheck.exe" "$bin/demojob.exe" "$work/old/"
x86_64-w64-mingw32-strip "$work/old"/*.exe
cp "$work/old"/*.exe "$work/new/"
printf 'a newer build' >>"$work/new/tavrorun.exe"
for build in old:1.0.0 new:1.0.1; do
  "$here/../../packaging/windows/build-msi" "$work/${build%:*}" "${build#*:}" "$work/${build%:*}.msi" 2>"$work/wixl.err" ||
    { cat "$work/wixl.err"; echo "FAIL: build-msi"; exit 1; }
done
table_has() { msiinfo export "$work/new.msi" "$1" | tr -d '\r' | grep -qF -- "$2" || fail "table $1 lacks: $2"; }
table_has MsiServiceConfigFailureActions $'TavroRunner\t1\t86400\t\t\t1[~]1[~]1\t10000[~]10000[~]60000\tLauncher'
table_has MsiServiceConfig $'DelayedStart\tTavroRunner\t1\t3\t1\tLauncher'
table_has CustomAction '"[INSTALLDIR]." /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F'
table_has CustomAction '"[INSTALLDIR]tavrorun.ini" /inheritance:r /grant:r *S-1-5-18:F *S-1-5-32-544:F "Tavro Operators:M"'
table_has Component $'Configuration\t{39E73762-B90C-4DEB-95B4-54DBEF83C636}\tINSTALLDIR\t400'

# One wine session for the whole test: wine ends a session's services a second after its last
# program has ended.
(cd "$work" && until [[ -e done ]]; do "$run" "$bin/exitwith.exe" wait done >/dev/null 2>&1; done) &
keeper=$!

msiexec /i "$(windows_path "$work/old.msi")"
for file in tavrorun.exe tavrocheck.exe tavrorun.ini examples/tavrorun.ini examples/demojob.exe examples/tags.txt; do
  [[ -f "$installed/$file" ]] || fail "not installed: $file"
done
expect_not_in "$installed/tavrorun.ini" "exename="  # the starter, not the example
expect_in "$installed/examples/tavrorun.ini" 'exename=C:\Program Files\Tavro\examples\demojob.exe'
[[ "$(service_state)" == RUNNING ]] || fail "the service is not running after the install: $(service_state)"
[[ "$(reg_value "$services\\TavroRunner" Description)" == \
  "Starts the plant's scheduled pumps, batches, tasks and reports (Tavro Launcher)." ]] || fail "no description"
[[ "$(reg_value "$services\\EventLog\\Application\\TavroRunner" EventMessageFile)" == \
  'C:\Program Files\Tavro\tavrorun.exe' ]] || fail "no event source"
[[ "$(entries)" == 1.0.0 ]] || fail "Programs and Features shows: $(entries)"
wait_until 60 grep -qs "Start as Service" "$installed"/tavrorun.0*.txt || fail "the service did not start the launcher"

printf '; edited at the plant\r\n' >>"$installed/tavrorun.ini"
cp "$installed/tavrorun.ini" "$work/edited.ini"
log=$(ls "$installed"/tavrorun.0*.txt)
cp "$log" "$work/log.before"
msiexec /i "$(windows_path "$work/new.msi")"
cmp -s "$installed/tavrorun.exe" "$work/new/tavrorun.exe" || fail "the upgrade left the old launcher"
cmp -s "$installed/tavrorun.ini" "$work/edited.ini" || fail "the upgrade changed the configuration"
cmp -s "$work/log.before" <(head -c "$(stat -c %s "$work/log.before")" "$log") || fail "the upgrade lost the log"
[[ "$(entries)" == 1.0.1 ]] || fail "Programs and Features shows after the upgrade: $(entries)"
[[ "$(service_state)" == RUNNING ]] || fail "the service is not running after the upgrade: $(service_state)"
started() { (($(grep -c "Start as Service" "$log") > $(grep -c "Start as Service" "$work/log.before"))); }
wait_until 60 started || fail "the upgrade did not start the new launcher"

# Findings on files others may change or read: wine's access list of a file follows its Unix mode.
check_ini="$work/rights.ini"
printf '[program]\r\nmod=kord\r\n[pi]\r\npassword=c2VjcmV0\r\n[tasks]\r\ncount=1\r\n[task_1]\r\ntaskname=T\r\nexename=%s\r\n' \
  "$(windows_path "$work/new/demojob.exe")" >"$check_ini"
for rights in "600 700:" "644 700:holds passwords and can be read by other accounts" \
  "666 700:rights.ini can be changed by other accounts" "600 777:demojob.exe ([task_1]) can be changed by other accounts"; do
  modes=${rights%%:*}
  chmod "${modes% *}" "$check_ini"
  chmod "${modes#* }" "$work/new/demojob.exe"
  "$run" "$installed/tavrocheck.exe" --ini "$(windows_path "$check_ini")" >"$work/check.out" 2>&1
  if [[ -z "${rights#*:}" ]]; then
    expect_not_in "$work/check.out" "other accounts"
  else
    expect_in "$work/check.out" "${rights#*:}"
  fi
done

mkdir "$work/current"
for library in ODBC32.dll piapi32.dll; do
  cp "$bin/planted_library.dll" "$installed/$library"
  cp "$bin/planted_library.dll" "$work/current/$library"
done
task=$'[tasks]\r\ncount=1\r\n[task_1]\r\nexename=t\r\ntaskname=T\r\n'
for source in "MSSQL error:mod=mssql"$'\r\n[mssql]\r\nhost=127.0.0.1\r\nuser=u\r\npassword=p\r\ndatabase=d\r\ntable=t\r\ntagcolumn=a\r\ntimecolumn=b\r\nvaluecolumn=c\r\ndriver=No Such Driver' \
  "piapi32.dll cannot be loaded:mod=pi"$'\r\n[pi]\r\nhost=pi01\r\napiado=0'; do
  printf '[program]\r\n%s\r\n%s' "${source#*:}" "$task" >"$work/probe.ini"
  (cd "$work/current" && WINEDLLOVERRIDES=odbc32=n,b "$run" "$installed/tavrocheck.exe" --ini "$(windows_path "$work/probe.ini")" \
    --probe TAG >"$work/probe.out" 2>&1)
  expect_in "$work/probe.out" "${source%%:*}"
done
loaded=$(ls "$installed" "$work/current" | grep '\.loaded$')
[[ -z "$loaded" ]] || fail "planted libraries were loaded: $loaded"
# The PI API's own: from the bin folder of the home its installation records.
mkdir -p "$work/PIPC/bin" && cp "$bin/piapi/complete/piapi32.dll" "$work/PIPC/bin/"
"$run" reg add 'HKLM\SOFTWARE\PISystem' /v PIHOME64 /d "$(windows_path "$work/PIPC")" /f >/dev/null 2>&1
"$run" "$installed/tavrocheck.exe" --ini "$(windows_path "$work/probe.ini")" --probe TAG >"$work/probe.out" 2>&1
expect_not_in "$work/probe.out" "cannot be loaded"
"$run" reg delete 'HKLM\SOFTWARE\PISystem' /f >/dev/null 2>&1
rm -f "$installed/ODBC32.dll" "$installed/piapi32.dll"

msiexec /x "$(windows_path "$work/new.msi")"
[[ -z "$(service_state)" ]] || fail "the service is still there after the removal: $(service_state)"
[[ -z "$(reg_value "$services\\EventLog\\Application\\TavroRunner" EventMessageFile)" ]] || fail "the event source stayed"
[[ -z "$(entries)" ]] || fail "Programs and Features still shows: $(entries)"
for file in tavrorun.exe tavrocheck.exe examples; do [[ ! -e "$installed/$file" ]] || fail "not removed: $file"; done
cmp -s "$installed/tavrorun.ini" "$work/edited.ini" || fail "the removal did not keep the configuration"
[[ -s "$log" ]] || fail "the removal did not keep the log"

# SERVICE=stopped installs the service without starting it.
msiexec /i "$(windows_path "$work/new.msi")" SERVICE=stopped
[[ "$(service_state)" == STOPPED ]] || fail "SERVICE=stopped gave a service that is: $(service_state)"
msiexec /x "$(windows_path "$work/new.msi")"

finish "install, upgrade and removal" "$work/msiexec.out" "$log"
