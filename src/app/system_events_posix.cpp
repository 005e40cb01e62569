#include "app/system_events.h"

namespace tavro {

std::unique_ptr<SystemEvents> OpenSystemEvents() { return nullptr; }

}  // namespace tavro
