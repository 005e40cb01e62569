#include <windows.h>

#include "support/time_zone.h"
#include "support/wide_text.h"

namespace tavro {
namespace {

// FILETIME counts 100 ns from 1601-01-01.
constexpr std::int64_t kFileTimeOfUnixEpoch = 116444736000000000LL;

std::int64_t FileTimeValue(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

int SystemTimeZone::SystemOffsetMinutesAt(std::int64_t instant) {
  const std::int64_t ticks = instant * 10000 + kFileTimeOfUnixEpoch;
  FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
  SYSTEMTIME utcTime{}, localTime{};
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  TIME_ZONE_INFORMATION rules{};
  // The zone's rules for that year (a zone's daylight saving changes over the years), applied by the
  // call wine has as well.
  if (!FileTimeToSystemTime(&utc, &utcTime) || GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ||
      !GetTimeZoneInformationForYear(utcTime.wYear, &zone, &rules) ||
      !SystemTimeToTzSpecificLocalTime(&rules, &utcTime, &localTime)) {
    return 0;
  }
  FILETIME local{};
  if (!SystemTimeToFileTime(&localTime, &local)) return 0;
  return static_cast<int>((FileTimeValue(local) - ticks) / (10000LL * 60000));
}

// The zone as Windows has it now (an administrator may have changed it), by its key and rules.
std::string SystemTimeZone::SystemZoneIdentity() {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return {};
  const auto text = [](const WCHAR* wide) { return FromWideText(reinterpret_cast<const char16_t*>(wide)); };
  return text(zone.TimeZoneKeyName) + "/" + text(zone.StandardName) + "/" + std::to_string(zone.Bias);
}

}  // namespace tavro
