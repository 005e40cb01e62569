#include "jobs/job_control.h"

#include "support/text.h"

namespace tavro {

std::optional<OverlapPolicy> OverlapPolicyNamed(std::string_view value) {
  for (std::size_t i = 0; i < kOverlapNames.size(); ++i) {
    if (EqualsIgnoreCase(value, kOverlapNames[i])) return static_cast<OverlapPolicy>(i);
  }
  return std::nullopt;
}

JobControl ControlOf(std::string_view overlap, std::int32_t maxruntime, const JobControl& program, bool task) {
  JobControl control = program;
  if (const std::optional<OverlapPolicy> own = OverlapPolicyNamed(overlap)) control.overlap = *own;
  if (control.overlap == OverlapPolicy::Wait && !task) control.overlap = OverlapPolicy::Skip;
  if (maxruntime >= 0 && maxruntime <= kLongestMaxRunTimeMinutes) control.maxRunMinutes = maxruntime;
  return control;
}

}  // namespace tavro
