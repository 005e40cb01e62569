#pragma once
// The status record in the Prometheus text exposition format (version 0.0.4): the metrics file
// that node_exporter's and windows_exporter's textfile collectors pick up. Counters count since the
// launcher started; a job's metrics carry the labels kind ("pump", "batch", "task", "report") and
// number, its name is in tavro_job_info.

#include <string>

#include "jobs/status_record.h"

namespace tavro {

std::string MetricsText(const StatusRecord& record);

// A label value as the format writes it between its quotes: backslash, double quote and line feed
// escaped.
void AppendLabelValue(std::string& out, std::string_view value);

}  // namespace tavro
