#include "sources/source_outage.h"

#include "config/ini_reading.h"
#include "sources/database.h"

namespace tavro {

void SourceOutage::Failed(const std::exception& error, const std::function<void()>& say) {
  const bool unreachable = ServerUnreachable(error);
  if (unreachable && lost_) return;
  say();
  if (!unreachable) return;
  lost_ = true;
  SaySourceCannotBeReached(log_, source_);
}

void SourceOutage::Lost() {
  if (lost_) return;
  lost_ = true;
  SaySourceCannotBeReached(log_, source_, EventEntry::Stamped);
}

void SourceOutage::Answered() {
  if (!lost_) return;
  lost_ = false;
  log_.Event(LogEvent::SourceBack, "-", source_ + " answers again: tasks are gated on it again");
}

}  // namespace tavro
