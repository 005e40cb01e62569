#include <exception>

#include "config/ini_values.h"
#include "config/program_sections.h"
#include "support/base64.h"

namespace tavro {
namespace {

// Used for "phd" and "pi" when their "host" key is missing.
constexpr const char* kDefaultHost = "localhost";

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
  settings.PhdHost = run.ini.ReadString("phd", "host", kDefaultHost);
  settings.PhdUser = run.ini.ReadString("phd", "user", "");
  settings.PhdPassword = DecodePassword(run, "phd", run.ini.ReadString("phd", "password", ""));
  run.Debug("host=" + settings.PhdHost + kLineBreak + "user=" + settings.PhdUser + kLineBreak +
                PasswordState(settings.PhdPassword),
            false);
}

void ReadPiSection(ReadingRun& run, ProgramSettings& settings) {
  settings.PiHost = run.ini.ReadString("pi", "host", kDefaultHost);
  settings.PiUser = run.ini.ReadString("pi", "user", "");
  settings.PiPassword = DecodePassword(run, "pi", run.ini.ReadString("pi", "password", ""));
  settings.PiAccess = run.ini.ReadInteger("pi", "apiado", kPiApi);
  run.Debug("host=" + settings.PiHost + kLineBreak + "user=" + settings.PiUser + kLineBreak +
                PasswordState(settings.PiPassword) + kLineBreak + "apiado=" + LogText(settings.PiAccess),
            false);
}

void ReadIp21Section(ReadingRun& run, ProgramSettings& settings) {
  settings.Ip21ConnectionString = run.ini.ReadString("ip21", "constr", "");
  run.Debug("connection string=" + settings.Ip21ConnectionString, false);
}

}  // namespace tavro
