#pragma once
// The whole reading of the INI file (the "ReRead ini" command): program and source sections, the
// four job families, first launch times and the verdict.

#include <functional>
#include <string>

#include "config/launcher_state.h"
#include "support/date_time.h"
#include "support/log_sink.h"

namespace tavro {

// What the reading needs of the control window.
class ControlWindowPort {
 public:
  virtual ~ControlWindowPort() = default;
  virtual bool ProgramMode() const = 0;
  virtual void StopAkceExecute() = 0;
  virtual void SetPanelText(int panel, const std::string& text) = 0;
};

// Builds and tries the SQL Server connection and value query once; throws std::exception with the
// database's message when that fails.
using PrepareMssqlFunction = std::function<void(const ProgramSettings& settings)>;

struct ReadingContext {
  LogSink& log;
  DateTime now;  // the current date and time of the reading
  ControlWindowPort& window;
  PrepareMssqlFunction prepareMssql;
};

// Reads IniFileName; a missing file gives every key its default.
void IniAkceExecute(LauncherState& state, const ReadingContext& context);

class IniFile;
// The same reading of a file already in memory.
void ReadConfiguration(LauncherState& state, const IniFile& ini, const ReadingContext& context);

}  // namespace tavro
