#!/usr/bin/env python3
"""Reads a file as a scraper reads the Prometheus text format (0.0.4): names, label escapes,
numbers, one TYPE per family before its lines, a family's lines together, no series twice.
Prints each series as `name{sorted labels} value`; exit code 1 with the first fault."""
import re
import sys

NAME, LABEL, VALUE = r"[a-zA-Z_:][a-zA-Z0-9_:]*", r"[a-zA-Z_][a-zA-Z0-9_]*", r'"(?:[^"\\\n]|\\[\\"n])*"'
SAMPLE = re.compile(rf"({NAME})(?:\{{((?:{LABEL}={VALUE},?)*)\}})? (\S+)( -?\d+)?")
TYPE = re.compile(rf"# TYPE ({NAME}) (counter|gauge|histogram|summary|untyped)")
typed, closed, series, current = set(), set(), {}, None
lines = open(sys.argv[1], encoding="utf-8").read().split("\n")
for number, line in enumerate(lines[:-1] if lines[-1] == "" else sys.exit("no final line feed"), 1):
    fault = lambda what: sys.exit(f"line {number}: {what}: {line!r}")
    if line.startswith("# TYPE"):
        match = TYPE.fullmatch(line) or fault("bad TYPE")
        if match.group(1) in typed: fault("TYPE again or after samples")
        typed.add(match.group(1))
    elif line.startswith("#") or not line:
        continue
    else:
        match = SAMPLE.fullmatch(line) or fault("no sample")
        name, labels, value = match.group(1), match.group(2) or "", match.group(3)
        float(value) if value not in ("NaN", "+Inf", "-Inf") else None
        if name != current:
            if name in closed: fault("family not together")
            closed.add(current)
            current = name
        typed.add(name)
        key = name + "{" + ",".join(sorted(re.findall(rf"{LABEL}={VALUE}", labels))) + "}"
        if key in series: fault("series twice")
        series[key] = value
for key, value in series.items():
    print(key, value)
