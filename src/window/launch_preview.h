#pragma once
// "What will run, when, with which arguments": a launcher started with "A" at a given time, with the
// real reading and the real timer cycle on a simulated clock, every start succeeding and every gate
// open. One line per launch: tick time, TAB, kind and number, TAB, command line, and for a gated
// task TAB "gated by " and its tag.

#include <ostream>
#include <string>

#include "support/date_time.h"

namespace tavro {

struct PreviewRequest {
  std::string iniFileName;
  DateTime start;
  int hours = 24;
};

// Returns whether the file was free of errors at the start (an invalid file launches nothing).
bool PreviewLaunches(const PreviewRequest& request, std::ostream& out);

}  // namespace tavro
