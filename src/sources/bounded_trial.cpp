#include "sources/bounded_trial.h"

#include <string>
#include <utility>

namespace tavro {

PrepareSourceFunction BoundedTrial(PrepareSourceFunction trial, ReadDeadline& deadline, ReadPause pause) {
  return [trial = std::move(trial), &deadline, pause = std::move(pause)](const ProgramSettings& settings) {
    const int seconds = settings.ReadTimeout;
    const ReadDeadline::End end = deadline.Bound(seconds, pause, [&] { trial(settings); });
    if (end == ReadDeadline::End::Stopped) throw ReadGivenUp{};
    if (end == ReadDeadline::End::Refused) {
      throw SourceUnreachable("not tried: calls given up before still wait for it, or no thread could be made");
    }
    if (end != ReadDeadline::End::Done) throw SourceUnreachable("no answer within " + std::to_string(seconds) + " s");
  };
}

}  // namespace tavro
