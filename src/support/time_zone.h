#pragma once
// Local time against real time. The launcher's jobs run by local time, which can jump while real
// time runs straight: daylight saving begins (a local hour that never exists) and ends (one that
// comes twice), the zone itself changes. An instant is real time: milliseconds since
// 1970-01-01 00:00 UTC.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "support/date_time.h"

namespace tavro {

// 1970-01-01 as a DateTime.
inline constexpr std::int64_t kUnixEpochMs = 25569 * kMsPerDay;

// A local time as the clock showed it, with its offset from UTC (local minus UTC).
struct ZonedTime {
  DateTime local;
  int offsetMinutes = 0;
  std::int64_t Instant() const { return local.ms - kUnixEpochMs - offsetMinutes * kMsPerMinute; }
  friend bool operator==(const ZonedTime&, const ZonedTime&) = default;
};

class TimeZone {
 public:
  virtual ~TimeZone() = default;
  // The offset of local time from UTC at an instant, in minutes.
  virtual int OffsetMinutesAt(std::int64_t instant) const = 0;
  // Takes the zone's setting afresh, as it is now (the system's may have been changed), and tells
  // what sets it apart from another zone (its name and rules as the system gives them).
  virtual std::string Refresh() = 0;
};

ZonedTime LocalTimeAt(const TimeZone& zone, std::int64_t instant);

// The instants at which local time reads `local`: none in a gap (the hour daylight saving skips),
// two in the hour that comes twice, the earlier first.
struct LocalInstants {
  int count = 0;
  std::array<std::int64_t, 2> instants{};
};
LocalInstants InstantsOf(const TimeZone& zone, DateTime local);
bool LocalTimeExists(const TimeZone& zone, DateTime local);

// When a clock that shows local time reaches `local` at or after `from`: its first instant not
// before `from`, or for a time in a gap, the gap's end, where a clock passes over it. None when the
// time lies wholly before `from`.
std::optional<ZonedTime> WhenLocalTimeComes(const TimeZone& zone, DateTime local, std::int64_t from);

// A local time as the clock first shows it: its earlier instant, or for a time in a gap the gap's
// end. A time given by hand (tavrocheck --now) is read so.
ZonedTime FirstZonedTimeOf(const TimeZone& zone, DateTime local);

// A zone of a fixed offset: UTC by default, where local time is real time.
class FixedOffsetZone final : public TimeZone {
 public:
  explicit FixedOffsetZone(int offsetMinutes = 0) : offset_(offsetMinutes) {}
  int OffsetMinutesAt(std::int64_t) const override { return offset_; }
  std::string Refresh() override { return "UTC" + std::to_string(offset_); }

 private:
  int offset_;
};

// The system's zone: TZ or /etc/localtime on Linux, the time zone of Windows. Offsets are kept for
// the quarter hours asked last, as a tick asks about many slots around the same times; Refresh
// forgets them.
class SystemTimeZone final : public TimeZone {
 public:
  SystemTimeZone() { Refresh(); }
  int OffsetMinutesAt(std::int64_t instant) const override;
  std::string Refresh() override;

 private:
  // Platform part: the offset as the system tells it, and the zone's setting taken afresh, which
  // may keep what it read of the system's rules in `rules_`.
  int SystemOffsetMinutesAt(std::int64_t instant) const;
  std::string SystemZoneIdentity();
  struct Rules;
  std::shared_ptr<Rules> rules_;

  struct Kept {
    std::int64_t quarter = INT64_MIN;
    int offset = 0;
  };
  mutable std::array<Kept, 64> kept_{};
};

}  // namespace tavro
