#include "sources/pi_oledb_reader.h"

#include <exception>

#include "support/connection_string.h"
#include "support/date_time_text.h"
#include "support/secret_text.h"
#include "support/text.h"

namespace tavro {

std::string PiOdbcConnectionString(const ProgramSettings& settings) {
  if (TrimView(settings.PiDriver).empty()) {
    throw DatabaseError("no ODBC driver for PI is configured: name it with the key driver of [pi]");
  }
  std::string braced = OdbcValue(TrimBlanks(settings.PiDriver));
  if (braced.front() != '{') braced = "{" + braced + "}";
  std::string text = "Driver=" + braced + ";Server=" + OdbcValue(settings.PiHost);
  if (!settings.PiPassword.empty()) text += ";PWD=" + OdbcValue(settings.PiPassword);
  text += ";UID=" + OdbcValue(settings.PiUser);
  return AppendOdbcAttributes(std::move(text), settings.PiOdbcAttributes);
}

double PiOleDbReader::ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                                  const std::string& password, DateTime time) {
  Debug("using ADO", false);
  try {
    database_.CloseQuery();
    if (!querySet_) {
      database_.SetSql(kPiSnapSql, ParameterParsing::On);
      querySet_ = true;
    }
    database_.SetParameter(1, tag);
    database_.SetParameter(2, AddMinutes(time, -1));
    database_.SetParameter(3, time);
    // Every read connects afresh from the settings, so that changed settings count and a
    // connection that failed is never used again.
    Debug("Opening PIOLEDB", true);
    database_.SetConnectionString(PiOdbcConnectionString(settings_));
    database_.Open();
    database_.OpenQuery();
    outage_.Answered();
    database_.First();
    const double result = database_.FirstColumnAsDouble();
    database_.Close();
    return result;
  } catch (const std::exception& error) {
    database_.Close();
    outage_.Failed(error, [&] {
      log_.Entry("Exception" + std::string(kLineBreak) + WithoutSecret(error.what(), password) + kLineBreak +
                 "for tag=" + tag + kLineBreak + "host=" + host + kLineBreak + "user=" + user + kLineBreak +
                 "time=" + DateTimeText(time));
    });
    return Failed(kNoValueFound, SourceFailed("PI over ODBC: " + WithoutSecret(error.what(), password)));
  }
}

}  // namespace tavro
