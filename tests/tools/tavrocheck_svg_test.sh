#!/usr/bin/env bash
# tavrocheck --plan --svg: well-formed XML that rsvg-convert draws, with as many launches per job as
# the text preview lists (a mark each, or counted per hour in a dense row), a catch-up burst, the
# gated task with its tag and the note on gates, and names that are no UTF-8 or hold markup.
# Usage: tavrocheck_svg_test.sh [RUNNER] TAVROCHECK
set -uo pipefail
check=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

{
  printf '[program]\nmod=kord\n[pumps]\ncount=2\n'
  printf '[pump_1]\nlaunchperiod=180\nphase=5\nexename=/opt/plant/pump\nsource=S\ntarget=T\ntagfile=t.txt\n'
  printf '[pump_2]\nlaunchperiod=1\nphase=0\nexename=/opt/plant/pump\nsource=S\ntarget=T\ntagfile=t.txt\n'
  printf '[tasks]\ncount=1\n[task_1]\nlaunchperiod=90\nphase=10\nexename=/opt/plant/task\n'
  printf 'taskname=Ninety & <more> \xe9\nrunningtag=UNIT1.RUNNING\n'
  printf '[reports]\ncount=1\nexename=/opt/plant/report\n[report_1]\nminute=30\nhour=6\ntemplate=morning\n'
} >"$work/plan.ini"
now="2026-12-07 10:07:30"
"${check[@]}" --ini "$work/plan.ini" --now "$now" --plan 24 2>/dev/null | tr -d '\r' >"$work/plan.txt"
"${check[@]}" --ini "$work/plan.ini" --now "$now" --plan 24 --svg "$work/plan.svg" >"$work/out.txt" 2>/dev/null ||
  fail "--svg ended with $?"
[[ ! -s $work/out.txt ]] || fail "--svg wrote on the output: $(head -3 "$work/out.txt")"
xmllint --noout "$work/plan.svg" || fail "the picture is no well-formed XML"
rsvg-convert -o "$work/plan.png" "$work/plan.svg" && [[ -s $work/plan.png ]] || fail "rsvg-convert cannot draw it"

python3 - "$work/plan.svg" "$work/plan.txt" <<'EOF' || exit 1
import collections, sys, xml.etree.ElementTree as ET
svg = "{http://www.w3.org/2000/svg}"
root = ET.parse(sys.argv[1]).getroot()
problems = []
if root.get("version") != "1.1" or any(e.tag == svg + "script" for e in root.iter()):
    problems.append("not plain SVG 1.1")
marks, counted, bursts = collections.Counter(), collections.Counter(), collections.Counter()
for rect in root.iter(svg + "rect"):
    title = rect.find(svg + "title")
    if title is None:
        continue
    job = title.text.split(" at ")[0].split(":")[0]
    kind = rect.get("class")
    if kind == "launch":
        marks[job] += 1
    elif kind == "count":
        counted[job] += int(title.text.split(": ")[1].split(" ")[0])
    elif kind == "burst":
        bursts[job] += 1
launches = collections.Counter(l.split("\t")[1] for l in open(sys.argv[2], encoding="latin-1") if l[0] != "#")
for job in ["pump 1", "pump 2", "task 1", "report 1"]:
    if marks[job] + counted[job] != launches[job] or launches[job] == 0:
        problems.append(f"{job}: {marks[job]} marks and {counted[job]} counted for {launches[job]} launches")
if counted["pump 2"] == 0 or marks["pump 2"] != 0:
    problems.append("the pump of every minute is not counted per hour")
if counted["pump 1"] or counted["task 1"]:
    problems.append("a row with room for its marks is counted per hour")
if bursts["task 1"] != 1 or sum(bursts.values()) != 1:
    problems.append(f"catch-up bursts: {dict(bursts)}, expected one of task 1")
texts = [t.text or "" for t in root.iter(svg + "text")]
for wanted in ["gated by UNIT1.RUNNING", "Ninety & <more> ?", "as if every gate were open"]:
    if not any(wanted in t for t in texts):
        problems.append(f"no text {wanted!r}")
for p in problems:
    print("FAIL:", p)
sys.exit(1 if problems else 0)
EOF

# A week draws; more than a week is refused.
"${check[@]}" --ini "$work/plan.ini" --now "$now" --plan 168 --svg "$work/week.svg" >/dev/null 2>&1 ||
  fail "a week is not drawn"
xmllint --noout "$work/week.svg" || fail "the week's picture is no well-formed XML"
"${check[@]}" --ini "$work/plan.ini" --now "$now" --plan 169 --svg "$work/more.svg" >/dev/null 2>&1
[[ $? == 2 && ! -e $work/more.svg ]] || fail "more than a week is not refused"
echo "tavrocheck --svg: all checks passed"
