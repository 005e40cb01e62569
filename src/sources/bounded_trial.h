#pragma once
// The reading's trial of its source, kept to the deadline of a read: a server that stops answering
// must not hold the reading (and with it the launcher's tick, or a check) without limit.

#include "config/ini_reading.h"
#include "sources/read_deadline.h"

namespace tavro {

// `trial` bounded by the settings' ReadTimeout, its time spent by `pause`. Past the deadline, or
// refused, it fails as an unreachable server does (SourceUnreachable); a pause that ends the
// process gives ReadGivenUp, which the reading lets pass.
PrepareSourceFunction BoundedTrial(PrepareSourceFunction trial, ReadDeadline& deadline, ReadPause pause);

}  // namespace tavro
