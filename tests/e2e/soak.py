#!/usr/bin/env python3
"""The soak test's driver (soak_test.sh): weeks of a launcher with 200 jobs in a few minutes.

    soak.py BIN WORK

Runs the real tavrorun -A (KORD mode: every gate open) on the event clock (libevent_clock.so: time
moves only while it waits, so its ticks come exactly when the preview plans them, however loaded the
machine) over legs that cross month ends of 28, 30 and 31 days, a year end and 29 February 2028;
the last leg runs 33 days. While it runs its memory, descriptors, threads and processor time are
sampled from /proc; afterwards every launch is matched against `tavrocheck --plan` from the same
start, every hour is looked for its one reading, and the daily log files of the long leg are checked
(one for each day number, each holding its last day only). Prints what it measured; exits 1 on a fault.
"""
import calendar
import json
import os
import pathlib
import random
import shutil
import signal
import subprocess
import sys
import time
from datetime import datetime, timedelta

bin_folder, work = sys.argv[1], sys.argv[2]
# Each leg: its start and how many days it runs. A month's last noon to the next month's first; the
# long leg sees every day number, the 29th of January cleared by the 29th of February, the 1st and
# 2nd of February by those of March.
LEGS = [("2027-02-28 12:00:00", 1), ("2027-04-30 12:00:00", 1), ("2027-12-31 12:00:00", 1),
        ("2028-01-29 00:00:00", 33)]
STAMP = "%Y.%m.%d %H:%M:%S"
# All legs together, within the test's own timeout, so that a slow run fails here with what it got.
DEADLINE = time.monotonic() + 480
failures = []


def fail(text):
    failures.append(text)
    print("FAIL: " + text, flush=True)


def configuration():
    """200 jobs of every kind, periods of hours so that a day holds a few hundred launches: what a
    simulated day costs is mostly its launches."""
    r = random.Random(2028)
    lines = ["[program]", "mod=kord", "[pumps]", "count=50"]
    for n in range(1, 51):
        period = r.choice([360, 480, 720, 1440])
        lines += [f"[pump_{n}]", f"launchperiod={period}", f"phase={r.randrange(60)}", f"intervallength={period}",
                  "exename=/bin/true", f"source=S{n}", f"target=T{n}", "tagfile=tags.txt"]
    lines += ["[batches]", "count=50"]
    for n in range(1, 51):
        kind = r.choice([0, 0, 1, 2])
        phase = r.randrange((1440, 7 * 1440, 3 * 1440)[kind])
        lines += [f"[batch_{n}]", f"type={kind}", f"day={r.randrange(1, 8)}", f"phase={phase}",
                  f"margins={r.randrange(4)}", f"intervallength={r.choice([0, 30, 60])}", "exename=/bin/true",
                  f"taskname=B{n}"]
    lines += ["[tasks]", "count=50"]
    for n in range(1, 51):
        period = r.choice([240, 360, 720, 1440])
        lines += [f"[task_{n}]", f"launchperiod={period}", f"phase={r.randrange(60)}",
                  f"intervallength={r.choice([15, 60])}", "exename=/bin/true", f"taskname=K{n}"]
        if n % 2:
            lines.append(f"runningtag=U{n}.RUN")
    lines += ["[reports]", "count=50", "exename=/bin/true"]
    for n in range(1, 51):
        lines += [f"[report_{n}]", f"minute={r.randrange(60)}", f"hour={r.randrange(24)}",
                  f"day={r.choice(['*', '-1', '1,15', '*/2', '28-31', '1', '29'])}", "month=*",
                  f"dayofweek={r.choice(['*', '*', '1-5', '6,7'])}", f"template=R{n}", f"length={r.randrange(9)}"]
    return "\n".join(lines) + "\n"


def proc(pid):
    """Resident kilobytes, descriptors, threads, processor seconds of the process."""
    with open(f"/proc/{pid}/status") as status:
        rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return rss, len(os.listdir(f"/proc/{pid}/fd")), len(os.listdir(f"/proc/{pid}/task")), cpu


def run_leg(folder, start, end):
    """Runs the launcher until its clock has passed `end`; returns its samples (simulated time, rss,
    descriptors, threads, processor seconds)."""
    environment = dict(os.environ, TZ="UTC", LD_PRELOAD=os.path.join(bin_folder, "libevent_clock.so"),
                       TAVRO_EVENT_CLOCK_START=str(calendar.timegm(start.timetuple())))
    launcher = subprocess.Popen(["./tavrorun", "-A"], cwd=folder, env=environment, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    samples, now = [], start
    while now < end and launcher.poll() is None and time.monotonic() < DEADLINE:
        time.sleep(0.2)
        try:
            with open(os.path.join(folder, "tavrorun.status"), encoding="utf-8") as status:
                written = json.load(status)["written"]
            sample = proc(launcher.pid)
        except (OSError, json.JSONDecodeError, StopIteration):
            continue  # not written yet, or the launcher ended meanwhile
        # The local time with its offset: the wall clock the launcher's log and plan go by.
        now = datetime.fromisoformat(written).replace(tzinfo=None)
        samples.append((now,) + sample)
    if launcher.poll() is not None:
        fail(f"{folder}: the launcher ended by itself ({launcher.returncode})")
    elif now < end:
        fail(f"{folder}: the launcher's clock reached only {now} of {end} in the test's time")
    launcher.send_signal(signal.SIGTERM)
    if launcher.wait(timeout=60) != 0:
        fail(f"{folder}: exit code {launcher.returncode} after SIGTERM")
    return samples


def log_entries(folder):
    entries = []
    for name in sorted(os.listdir(folder)):
        if name.startswith("tavrorun.0") and name.endswith(".txt"):
            with open(os.path.join(folder, name), encoding="latin-1", newline="") as log:
                for line in log.read().split("\r\n"):
                    stamp, tab, message = line.partition("\t")
                    if tab:
                        entries.append((datetime.strptime(stamp, STAMP), message, name))
    return sorted(entries, key=lambda entry: entry[0])


def check_launches(folder, start, cut, entries, kept):
    """Every launch the preview plans from the same start before `cut`, in order, and no other, on
    the days `kept` whose entries the daily files still hold (a file's day a month before was cleared)."""
    hours = int((cut - start).total_seconds() // 3600) + 2
    plan = subprocess.run([os.path.join(bin_folder, "tavrocheck"), "--ini", os.path.join(folder, "tavrorun.ini"),
                           "--now", start.strftime("%Y-%m-%d %H:%M:%S"), "--plan", str(hours)],
                          capture_output=True, encoding="latin-1", env=dict(os.environ, TZ="UTC")).stdout
    planned = []
    for line in plan.replace("\r", "").split("\n"):
        fields = line.split("\t")
        if len(fields) >= 3 and not line.startswith("#"):
            tick = datetime.strptime(fields[0], "%Y-%m-%d %H:%M:%S")
            if tick < cut and tick.date() in kept:
                planned.append((tick, fields[2]))
    suffix = " launched successfully"
    launched = [(stamp, message[:-len(suffix)]) for stamp, message, _ in entries if message.endswith(suffix)]
    if len([1 for stamp, _ in launched if stamp < cut]) > len(planned):
        fail(f"{folder}: more launches than the plan's {len(planned)} before {cut}")
    in_tick = 0
    for i, (tick, command) in enumerate(planned):
        if i >= len(launched):
            fail(f"{folder}: launch {i + 1} of the plan never came: {tick} {command}")
            break
        in_tick = in_tick + 1 if i > 0 and planned[i - 1][0] == tick else 0
        stamp, started = launched[i]
        # The pause of two seconds after each launch of the tick, the settling and the stamp's second.
        if started != command or not timedelta(0) <= stamp - tick <= timedelta(seconds=2 * in_tick + 1):
            fail(f"{folder}: launch {i + 1}: the plan has {tick} {command}, the log {stamp} {started}")
            break
    return len(planned)


def check_readings(folder, start, cut, entries, kept):
    """Two readings at the start and one at the first tick of every hour (within one interval of
    ten seconds and its settling), on the days `kept`. Returns the readings."""
    readings = [stamp for stamp, message, _ in entries if message == "Reading ini..."]
    if start.date() in kept and readings[:2] != [start, start]:
        fail(f"{folder}: the start's readings are {readings[:2]}")
    hour = start.replace(minute=0, second=0) + timedelta(hours=1)
    wrong = []
    while hour < cut:
        read = sum(1 for stamp in readings if hour <= stamp < hour + timedelta(hours=1))
        first = any(hour <= stamp <= hour + timedelta(seconds=10) for stamp in readings)
        if hour.date() in kept and (read != 1 or not first):
            wrong.append((hour, read))
        hour += timedelta(hours=1)
    if wrong:
        fail(f"{folder}: {len(wrong)} hours not read once at their first tick, the first {wrong[:3]}")
    return len(readings)


def check_daily_files(folder, start, end, entries):
    """One file for each day number, holding the last day of that number the leg saw, whole."""
    days = {}
    for stamp, _, name in entries:
        days.setdefault(name, set()).add(stamp.date())
    seen = [start.date() + timedelta(days=n) for n in range((end.date() - start.date()).days + 1)]
    last = {day.day: day for day in seen}
    names = sorted(days)
    if names != [f"tavrorun.{n:03d}.txt" for n in range(1, 32)]:
        fail(f"{folder}: daily files {names}")
    for name, dates in days.items():
        expected = last.get(int(name[9:12]))
        if dates != {expected}:
            fail(f"{folder}: {name} holds the days {sorted(dates)}, not only {expected}")


def check_resources(folder, samples):
    """No growth: the last third of the leg against its first. Returns what it measured."""
    third = len(samples) // 3
    first, last = samples[:third], samples[-third:]
    if max(s[3] for s in samples) != 1:
        fail(f"{folder}: {max(s[3] for s in samples)} threads")
    # A sample may catch a file or a launch's pipe open for a moment: a leak raises the fewest held.
    if max(s[2] for s in samples) > 12 or min(s[2] for s in last) > min(s[2] for s in first):
        fail(f"{folder}: descriptors {[s[2] for s in first][:5]} ... {[s[2] for s in last][-5:]}")
    rss_first, rss_last = max(s[1] for s in first), max(s[1] for s in last)
    if rss_last > rss_first * 1.25 + 256:
        fail(f"{folder}: resident memory grew from {rss_first} kB to {rss_last} kB")

    def per_day(part):
        days = (part[-1][0] - part[0][0]).total_seconds() / 86400
        return (part[-1][4] - part[0][4]) / days if days > 0 else 0

    cpu_first, cpu_last = per_day(first), per_day(last)
    if cpu_last > 2 * cpu_first + 0.05:
        fail(f"{folder}: processor time grew from {cpu_first:.2f} s to {cpu_last:.2f} s a simulated day")
    return (f"resident {rss_first}..{rss_last} kB, at most {max(s[2] for s in samples)} descriptors, 1 thread, "
            f"processor {cpu_first:.2f} then {cpu_last:.2f} s a simulated day")


text = configuration()
for number, (begin, days) in enumerate(LEGS, 1):
    folder = os.path.join(work, f"leg{number}")
    os.makedirs(folder)
    shutil.copy2(os.path.join(bin_folder, "tavrorun"), folder)
    pathlib.Path(folder, "tavrorun.ini").write_text(text)
    start = datetime.fromisoformat(begin)
    cut = start + timedelta(days=days)
    began = time.monotonic()
    samples = run_leg(folder, start, cut + timedelta(hours=1))
    took = time.monotonic() - began
    entries = log_entries(folder)
    kept = {stamp.date() for stamp, _, _ in entries}
    launches = check_launches(folder, start, cut, entries, kept)
    readings = check_readings(folder, start, cut, entries, kept)
    summary = f"leg {number}: {start} + {days} days in {took:.0f} s: {launches} launches as planned, {readings} readings"
    if days > 7:
        check_daily_files(folder, start, cut + timedelta(hours=1), entries)
        summary += "; " + check_resources(folder, samples)
    print(summary, flush=True)
sys.exit(1 if failures else 0)
