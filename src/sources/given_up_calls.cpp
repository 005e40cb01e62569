#include "sources/given_up_calls.h"

namespace tavro {

bool GivenUpCalls::MayCall(TickNumber tick) {
  if (tick && awayIn_ == tick) return false;
  if (waiting_->load() < kMostGivenUpCalls) {
    saidCrowded_ = false;
    return true;
  }
  if (!saidCrowded_) {
    log_.Entry(source_ + ": " + std::to_string(kMostGivenUpCalls) +
               " reads given up still wait for an answer; its reads fail at once until one of them returns");
    saidCrowded_ = true;
  }
  return false;
}

void GivenUpCalls::GiveUp(TickNumber tick, bool pastDeadline) {
  waiting_->fetch_add(1);
  if (pastDeadline) Away(tick);
}

void GivenUpCalls::Away(TickNumber tick) {
  if (tick) awayIn_ = tick;
}

void GivenUpCalls::NoThread(const std::string& reason) {
  log_.Entry(source_ + ": no thread can be made for a read (" + reason + "); the read fails");
}

}  // namespace tavro
