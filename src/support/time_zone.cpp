#include "support/time_zone.h"

namespace tavro {
namespace {

// No zone moves its offset twice within a day, so the offsets a day before and after a time are
// the only ones it can have.
constexpr std::int64_t kAround = kMsPerDay;

}  // namespace

ZonedTime LocalTimeAt(const TimeZone& zone, std::int64_t instant) {
  const int offset = zone.OffsetMinutesAt(instant);
  return {DateTime{instant + kUnixEpochMs + offset * kMsPerMinute}, offset};
}

LocalInstants InstantsOf(const TimeZone& zone, DateTime local) {
  const std::int64_t asIfUtc = local.ms - kUnixEpochMs;
  LocalInstants found;
  for (const int offset : {zone.OffsetMinutesAt(asIfUtc - kAround), zone.OffsetMinutesAt(asIfUtc + kAround)}) {
    const std::int64_t instant = asIfUtc - offset * kMsPerMinute;
    if (zone.OffsetMinutesAt(instant) != offset) continue;
    if (found.count == 1 && found.instants[0] == instant) continue;
    found.instants[static_cast<std::size_t>(found.count++)] = instant;
  }
  if (found.count == 2 && found.instants[1] < found.instants[0]) std::swap(found.instants[0], found.instants[1]);
  return found;
}

bool LocalTimeExists(const TimeZone& zone, DateTime local) {
  // Most times are far from a change: their offset maps them back onto themselves.
  const std::int64_t asIfUtc = local.ms - kUnixEpochMs;
  const int before = zone.OffsetMinutesAt(asIfUtc - kAround);
  if (before == zone.OffsetMinutesAt(asIfUtc + kAround)) return true;
  return InstantsOf(zone, local).count > 0;
}

std::optional<ZonedTime> WhenLocalTimeComes(const TimeZone& zone, DateTime local, std::int64_t from) {
  const LocalInstants instants = InstantsOf(zone, local);
  for (int i = 0; i < instants.count; ++i) {
    const std::int64_t instant = instants.instants[static_cast<std::size_t>(i)];
    if (instant >= from) return LocalTimeAt(zone, instant);
  }
  if (instants.count > 0) return std::nullopt;
  // In a gap: the clock passes over the time at the change, which lies between the instants that
  // read the time with the offset after the change and with the one before it.
  const std::int64_t asIfUtc = local.ms - kUnixEpochMs;
  std::int64_t before = asIfUtc - zone.OffsetMinutesAt(asIfUtc + kAround) * kMsPerMinute;
  std::int64_t after = asIfUtc - zone.OffsetMinutesAt(asIfUtc - kAround) * kMsPerMinute;
  const int offsetBefore = zone.OffsetMinutesAt(before);
  while (after - before > kMsPerSecond) {
    const std::int64_t middle = before + (after - before) / 2;
    (zone.OffsetMinutesAt(middle) == offsetBefore ? before : after) = middle;
  }
  if (after < from) return std::nullopt;
  return LocalTimeAt(zone, after);
}

// The zones of today change their offsets on quarter hours of real time, so what an
// instant's quarter hour gave holds for the whole quarter.
ZonedTime FirstZonedTimeOf(const TimeZone& zone, DateTime local) {
  return *WhenLocalTimeComes(zone, local, INT64_MIN);
}

int SystemTimeZone::OffsetMinutesAt(std::int64_t instant) const {
  const std::int64_t quarter = instant >= 0 ? instant / (15 * kMsPerMinute) : -1 - (-instant - 1) / (15 * kMsPerMinute);
  // Spread by a multiplicative hash: the quarters a day before and after a time (LocalTimeExists
  // asks both) would fall on one place of a table indexed by the quarter itself.
  Kept& kept = kept_[(static_cast<std::uint64_t>(quarter) * 0x9E3779B97F4A7C15ull) >> 58];
  if (kept.quarter != quarter) kept = {quarter, SystemOffsetMinutesAt(quarter * 15 * kMsPerMinute)};
  return kept.offset;
}

std::string SystemTimeZone::Refresh() {
  kept_.fill({});
  return SystemZoneIdentity();
}

}  // namespace tavro
