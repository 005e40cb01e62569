#pragma once
// A zone with the European Union's daylight saving (from the last Sunday of March to the last Sunday
// of October, changing at 01:00 UTC), so that tests cross the changes on both builds alike.

#include "support/time_zone.h"

namespace tavro::testutil {

class EuropeanZone final : public TimeZone {
 public:
  explicit EuropeanZone(int standardOffsetMinutes = 60) : standard_(standardOffsetMinutes) {}
  int OffsetMinutesAt(std::int64_t instant) const override {
    const CivilDateTime utc = ToCivil(DateTime{instant + kUnixEpochMs});
    const auto change = [&utc](int month) {
      DateTime day = MakeDateTime(utc.year, month, DaysInMonth(utc.year, month));
      while (DayOfWeek(day) != 7) day = AddDays(day, -1);
      return AddHours(day, 1).ms - kUnixEpochMs;
    };
    const bool summer = instant >= change(3) && instant < change(10);
    return standard_ + (summer ? 60 : 0);
  }
  std::string Refresh() override { return "EU" + std::to_string(standard_); }

 private:
  int standard_;
};

}  // namespace tavro::testutil
