#include <exception>

#include "config/program_sections.h"
#include "config/section_keys.h"
#include "support/base64.h"
#include "support/connection_string.h"
#include "support/text.h"

namespace tavro {
namespace {

// The stored text is Base64. A malformed one must not end the reading: the password stays empty
// and the file is reported invalid.
std::string DecodePassword(ReadingRun& run, const std::string& section, const std::string& stored) {
  try {
    return Base64ToStr(stored);
  } catch (const std::exception& error) {
    run.AddError("Wrong password in section " + section + ": " + error.what());
    return "";
  }
}

}  // namespace

std::string PasswordState(const std::string& password) {
  return TrimBlanks(password).empty() ? "password is not set" : "password is set";
}

void ReadPhdSection(ReadingRun& run, ProgramSettings& settings) {
  ReadKeys(run.ini, "phd", kPhdKeys, settings, run.kept);
  settings.PhdPassword = DecodePassword(run, "phd", settings.PhdPassword);
  run.Debug("host=" + settings.PhdHost + kLineBreak + "user=" + settings.PhdUser + kLineBreak +
                PasswordState(settings.PhdPassword),
            false);
}

void ReadPiSection(ReadingRun& run, ProgramSettings& settings) {
  ReadKeys(run.ini, "pi", kPiKeys, settings, run.kept);
  settings.PiPassword = DecodePassword(run, "pi", settings.PiPassword);
  run.Debug("host=" + settings.PiHost + kLineBreak + "user=" + settings.PiUser + kLineBreak +
                PasswordState(settings.PiPassword) + kLineBreak + "apiado=" + LogText(settings.PiAccess),
            false);
}

void ReadIp21Section(ReadingRun& run, ProgramSettings& settings) {
  ReadKeys(run.ini, "ip21", kIp21Keys, settings, run.kept);
  // The connection string may carry a password, which the log never shows.
  run.Debug("connection string=" + MaskPasswords(settings.Ip21ConnectionString, settings.Ip21ConnectionString),
            false);
}

}  // namespace tavro
