#include "window/start_face.h"

namespace tavro {

StartFace::~StartFace() = default;

bool StartFace::WaitTakingCommands(Clock& clock, int milliseconds) {
  Waiting(clock);
  clock.Wait(milliseconds);
  return !closed_;
}

}  // namespace tavro
