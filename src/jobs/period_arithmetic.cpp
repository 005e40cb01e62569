#include "jobs/period_arithmetic.h"

#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr std::int32_t kWeekly = 1;
constexpr std::int32_t kMonthly = 2;
constexpr std::int32_t kHourMinutes = 60;

// The configuration reading rejects periods below one minute. Should one slip through anyway, it
// counts as one minute, so that no rule divides by zero or lets a slot run backwards.
std::int64_t Period(std::int32_t launchperiod) { return launchperiod >= 1 ? launchperiod : 1; }

bool IsLongPeriod(const TUkol& task) { return Period(task.launchperiod) > kHourMinutes; }

// Midnight of the moment's day plus the slot of the given minute: periods are counted from midnight.
DateTime PumpSlotOfDay(DateTime moment, std::int64_t minuteOfDay, std::int64_t period, std::int32_t phase) {
  return AddMinutes(StartOfDay(moment), (minuteOfDay / period) * period + phase);
}

bool IsValidWeekday(std::int32_t day) { return day >= 1 && day <= 7; }

}  // namespace

DateTime PumpInitialLastTime(const TPumpa& pump, DateTime now) {
  const std::int64_t period = Period(pump.launchperiod);
  std::int64_t minute = MinuteOfDay(now);
  // One period back, but never over midnight: in the first period of a day the day's first slot is
  // not launched.
  if (minute >= period) minute -= period;
  return PumpSlotOfDay(now, minute, period, pump.phase);
}

DateTime PumpDueTime(const TPumpa& pump) { return AddMinutes(pump.LastTime, Period(pump.launchperiod)); }

DateTime PumpSlotTime(const TPumpa& pump) { return AddMinutes(PumpDueTime(pump), -std::int64_t{pump.phase}); }

DateTime PumpAdvancedLastTime(const TPumpa& pump, DateTime tick) {
  // Realigned to the tick's own period: slots missed while nothing was launched are skipped.
  return PumpSlotOfDay(tick, MinuteOfDay(tick), Period(pump.launchperiod), pump.phase);
}

DateTime TaskInitialLastTime(const TUkol& task, DateTime now) {
  const std::int64_t period = Period(task.launchperiod);
  if (IsLongPeriod(task)) {
    // Today's launch time, or the latest earlier one; never moved forward, so a late start catches
    // up the day's slots since then. Computed in one step rather than period by period, which
    // matters for a phase of many days.
    DateTime last = AddMinutes(StartOfDay(now), task.phase);
    if (now < last) {
      const std::int64_t periodMs = period * kMsPerMinute;
      const std::int64_t steps = (last.ms - now.ms + periodMs - 1) / periodMs;
      last = AddMinutes(last, -steps * period);
    }
    return last;
  }
  // Both the truncation and the division go toward zero: shortly after midnight, while the phase has
  // not yet passed, the result lies on the day before.
  const auto x = static_cast<std::int64_t>(MinutesSinceMidnight(now) - task.phase);
  return AddMinutes(StartOfDay(now), (x / period) * period - period);
}

DateTime TaskDueTime(const TUkol& task) {
  const std::int64_t period = Period(task.launchperiod);
  if (IsLongPeriod(task)) return AddMinutes(task.LastTime, period);
  return AddMinutes(task.LastTime, period + task.phase);
}

TaskSlot TaskNextSlot(const TUkol& task) {
  const std::int64_t period = Period(task.launchperiod);
  if (period > kHourMinutes) {
    // The launch time moves on by whole hours only, so periods that are not whole hours drift
    // against their due times; programs rely on these slot times as they are.
    const DateTime slot = AddMinutes(task.LastTime, period - task.phase % kHourMinutes - task.intervallength);
    return {slot, AddHours(task.LastTime, period / kHourMinutes)};
  }
  const DateTime slot =
      period == kHourMinutes ? AddHours(task.LastTime, 1) : AddMinutes(task.LastTime, period);
  return {slot, slot};
}

DateTime NextRunTime(std::int32_t type, std::int32_t day, std::int32_t phase, DateTime t) {
  DateTime d = StartOfDay(t);
  if (type == kWeekly) {
    if (!IsValidWeekday(day)) return NeverDate;
    d = AddDays(d, 1);
    while (DayOfWeek(d) != day) d = AddDays(d, 1);
  } else if (type == kMonthly) {
    d = AddMonths(StartOfMonth(d), 1);
  } else {
    d = AddDays(d, 1);
  }
  return AddMinutes(d, phase);
}

DateTime LastRunTime(std::int32_t type, std::int32_t day, std::int32_t phase, DateTime t) {
  DateTime d;
  if (type == kWeekly) {
    if (!IsValidWeekday(day)) return NeverDate;
    d = StartOfDay(t);
    if (DayOfWeek(t) == day) {
      if (phase > MinuteOfDay(t)) d = AddDays(d, -7);
    } else {
      while (DayOfWeek(d) != day) d = AddDays(d, -1);
    }
  } else if (type == kMonthly) {
    d = StartOfMonth(t);
    if (phase > MinuteOfMonth(t)) d = AddMonths(d, -1);
  } else {
    d = StartOfDay(t);
    if (phase > MinuteOfDay(t)) d = AddDays(d, -1);
  }
  return AddMinutes(d, phase);
}

std::string FormatWindowStart(const TBec& batch, DateTime previousRun) {
  DateTime start = LastRunTime(batch.type, batch.day, batch.phase, previousRun);
  if (batch.type == kMonthly) start = AddMinutes(start, -std::int64_t{batch.phase});
  start = StartOfDay(start);
  if ((batch.margins & 1) == 0) start = AddMinutes(start, batch.intervallength);
  return FormatDateTime(kTaskTimePattern, start);
}

std::string FormatWindowEnd(const TBec& batch, DateTime tick) {
  // Only the monthly window takes the phase off before truncating to the day.
  if (batch.type == kMonthly) tick = AddMinutes(tick, -std::int64_t{batch.phase});
  DateTime end = StartOfDay(tick);
  if ((batch.margins & 2) == 0) end = AddMinutes(end, -std::int64_t{batch.intervallength});
  return FormatDateTime(kTaskTimePattern, end);
}

}  // namespace tavro
