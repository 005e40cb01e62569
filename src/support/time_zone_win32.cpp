#include <windows.h>

#include <map>
#include <optional>

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

// The zone as read at the last Refresh, and its rules per year as asked for: reading them takes
// the registry, far dearer than the conversion.
struct SystemTimeZone::Rules {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  bool valid = false;
  std::map<WORD, std::optional<TIME_ZONE_INFORMATION>> years;
};

int SystemTimeZone::SystemOffsetMinutesAt(std::int64_t instant) const {
  const std::int64_t ticks = instant * 10000 + kFileTimeOfUnixEpoch;
  FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
  SYSTEMTIME utcTime{}, localTime{};
  if (!FileTimeToSystemTime(&utc, &utcTime) || rules_ == nullptr || !rules_->valid) return 0;
  // The zone's rules for that year (a zone's daylight saving changes over the years), applied by the
  // call wine has as well.
  auto [year, fresh] = rules_->years.try_emplace(utcTime.wYear);
  if (fresh) {
    TIME_ZONE_INFORMATION rules{};
    if (GetTimeZoneInformationForYear(utcTime.wYear, &rules_->zone, &rules)) year->second = rules;
  }
  if (!year->second || !SystemTimeToTzSpecificLocalTime(&*year->second, &utcTime, &localTime)) return 0;
  FILETIME local{};
  if (!SystemTimeToFileTime(&localTime, &local)) return 0;
  return static_cast<int>((FileTimeValue(local) - ticks) / (10000LL * 60000));
}

// The zone as Windows has it now (an administrator may have changed it), by its key and rules.
std::string SystemTimeZone::SystemZoneIdentity() {
  rules_ = std::make_shared<Rules>();
  DYNAMIC_TIME_ZONE_INFORMATION& zone = rules_->zone;
  rules_->valid = GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID;
  if (!rules_->valid) return {};
  const auto text = [](const WCHAR* wide) { return FromWideText(reinterpret_cast<const char16_t*>(wide)); };
  return text(zone.TimeZoneKeyName) + "/" + text(zone.StandardName) + "/" + std::to_string(zone.Bias);
}

}  // namespace tavro
