#pragma once
// What "tavrorun --help" and "tavrorun --version" print. Such a call starts no launcher and writes
// no log.

#include <ostream>
#include <string>

#include "window/switches.h"

namespace tavro {

enum class InfoRequest { None, Help, Version };

// "--help", "-?" or "/?"; "--version" or "-V". ("-h" is the switch H, hide and start.)
InfoRequest InfoRequested(const Parameters& parameters);

// The usage text for the executable at `exeName` (its files are named after it).
std::string LauncherUsage(const std::string& exeName);
std::string LauncherVersion();

// Platform parts: how the running launcher is driven, and where a copy of the log's entries goes
// (the journal's standard error on Linux; nowhere on Windows).
const char* OutsideCommandsUsage();
std::ostream* LogEchoStream();
// True when that copy goes to a journal that stamps and ranks each line itself (systemd's
// JOURNAL_STREAM names the standard error's device and inode).
bool LogEchoIsJournal();

// Where the usage and the version are printed: standard output, which a Windows program without a
// console of its own first takes from the console it was started from.
std::ostream& InfoOutput();

}  // namespace tavro
