#pragma once
// The preview drawn as a timeline: plain SVG 1.1 (no script), which browsers and rsvg-convert show.

#include <string>

#include "tavrocheck/plan_record.h"

namespace tavro {

// The longest preview the picture keeps readable: a week.
inline constexpr int kMostPictureHours = 168;

// One row per job with a mark per launch (a row too dense for marks shows launches per hour), catch-up
// bursts, gated tasks with their tag, an hour grid with dates and times, and a legend. `title` names
// the file previewed. The plan must have kept its launch times.
std::string PlanPicture(const RecordedPlan& plan, const std::string& title);

}  // namespace tavro
