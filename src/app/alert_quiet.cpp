#include "app/alert_quiet.h"

namespace tavro {

std::optional<std::uint64_t> AlertQuiet::Pass(LogEvent event, const std::string& job, std::int64_t steadyMs,
                                              std::int32_t quietMinutes) {
  const auto [told, first] = told_.try_emplace({event, job}, Told{steadyMs, 0});
  if (first) return 0;
  Told& last = told->second;
  if (steadyMs - last.at < static_cast<std::int64_t>(quietMinutes) * 60000) {
    ++last.heldBack;
    return std::nullopt;
  }
  const std::uint64_t heldBack = last.heldBack;
  last = Told{steadyMs, 0};
  return heldBack;
}

}  // namespace tavro
