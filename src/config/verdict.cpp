#include "config/verdict.h"

namespace tavro {

void DeliverVerdict(ReadingRun& run, ProgramSettings& settings, ControlWindowPort& window) {
  settings.IniValid = run.errors.empty();
  if (settings.IniValid) {
    run.log.Entry("Tasks in ini O.K.");
  } else {
    run.log.Entry("In ini found these errors:" + std::string(kLineBreak) + run.errors);
    window.StopAkceExecute();
  }
  if (!window.ProgramMode()) return;
  if (settings.IniValid) {
    window.SetPanelText(0, "Enabled");
  } else {
    window.SetPanelText(0, "Disabled");
    window.SetPanelText(2, "Errors in ini");
  }
}

}  // namespace tavro
