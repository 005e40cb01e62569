#pragma once
// The whole reading of the INI file (the "ReRead ini" command): program and source sections, the
// four job families, first launch times and the verdict. The caller applies the verdict to the
// launcher: an invalid file stops it.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "jobs/launcher_state.h"
#include "support/date_time.h"
#include "support/log_sink.h"

namespace tavro {

// Tries the selected source once with the settings just read; throws std::exception with the
// source's message when that fails, SourceUnreachable when its server cannot be reached.
using PrepareSourceFunction = std::function<void(const ProgramSettings& settings)>;

// The source's server did not answer (as opposed to settings it refused): the source stays
// selected, holds the gates and tries again at every tick until the server answers.
class SourceUnreachable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The entry that begins an outage of `source`'s server, continuing the error's unless `how` says
// otherwise: an event.
void SaySourceCannotBeReached(LogSink& log, const std::string& source, EventEntry how = EventEntry::Continued);

class IniFile;
class IniFileCache;

struct ReadingContext {
  LogSink& log;
  DateTime now;  // the current date and time of the reading
  PrepareSourceFunction prepareSource;  // empty: the source's settings are checked, not tried
  IniFileCache* cache = nullptr;      // keeps the parsed file while unchanged (the preview); none: read afresh
  // Runs last, after the verdict and the reading's warnings, with the file as the reading saw it;
  // the launcher looks for findings there. Whatever it does, the verdict stays.
  std::function<void(const IniFile& ini)> afterReading = {};
};

// Validity is all or nothing for the file; IniValid holds the same flag.
struct ReadingVerdict {
  bool valid = false;
  std::string errors;  // the collected error items, each beginning with a line break
  std::vector<std::string> warnings = {};  // the risks logged after the verdict, which never change it
};

// Reads IniFileName; a missing file gives every key its default.
ReadingVerdict IniAkceExecute(LauncherState& state, const ReadingContext& context);

// The same reading of a file already in memory; `loadProblem` tells why an existing file could not
// be read (it is logged after "Reading ini...").
ReadingVerdict ReadConfiguration(LauncherState& state, const IniFile& ini, const ReadingContext& context,
                                 const std::string& loadProblem = {});

}  // namespace tavro
