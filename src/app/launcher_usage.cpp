#include "app/launcher_usage.h"

#include "support/log_file.h"
#include "support/process_path.h"
#include "support/version.h"

namespace tavro {

InfoRequest InfoRequested(const Parameters& parameters) {
  for (const std::string& parameter : parameters) {
    if (parameter == "--help" || parameter == "-?" || parameter == "/?") return InfoRequest::Help;
    if (parameter == "--version" || parameter == "-V") return InfoRequest::Version;
  }
  return InfoRequest::None;
}

std::string LauncherVersion() { return std::string("Tavro Launcher ") + kVersion + "\n"; }

std::string LauncherUsage(const std::string& exeName) {
  const std::string logPattern = ReplaceExtension(exeName, ".0DD.txt");
  return LauncherVersion() +
         "\n"
         "Usage: tavrorun [-A | -H] [-INSTALL | -UNINSTALL] [-SILENT]\n"
         "       tavrorun --help | --version\n"
         "\n"
         "Every ten seconds starts the programs of the scheduled pumps, batches, tasks and reports\n"
         "of its configuration, and logs what it did and why.\n"
         "\n"
         "Switches (in any case, after \"-\", \"/\" or \"\\\"; INSTALL, UNINSTALL and SILENT only after\n"
         "\"-\" or \"/\" for the service itself):\n"
         "  A          start launching at once, when the configuration is free of errors\n"
         "  H          as A, and hide the window at the next tick\n"
         "  INSTALL    register the service TavroRunner, to start with the system\n"
         "  UNINSTALL  remove the service\n"
         "  SILENT     with INSTALL or UNINSTALL: no report when it succeeded\n"
         "  --help     this text (also -? or /?); --version (-V) the version\n"
         "\n"
         "Files, beside the executable:\n"
         "  " + ReplaceExtension(exeName, ".ini") + "\n"
         "      the configuration; check it with tavrocheck before the launcher reads it\n"
         "      (at start, at the first tick of every hour, and on ReRead ini)\n"
         "  " + logPattern + "\n"
         "      the log of day DD of the month (01-31); the file of a day is cleared when that\n"
         "      day comes again a month later\n"
         "\n" +
         OutsideCommandsUsage();
}

}  // namespace tavro
