// The PI reader's OLE DB path: PI's own SQL over ODBC, the average of the tag over the minute that
// ends at the slot time.

#include <exception>

#include "sources/pi_reader.h"
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

double PiReader::ReadThroughOleDb(const std::string& tag, const std::string& host, const std::string& user,
                                  const std::string& password, DateTime time) {
  Debug("using ADO", false);
  try {
    oleDb_.CloseQuery();
    if (!oleDbQuerySet_) {
      oleDb_.SetSql(kPiSnapSql, ParameterParsing::On);
      oleDbQuerySet_ = true;
    }
    oleDb_.SetParameter(1, tag);
    oleDb_.SetParameter(2, AddMinutes(time, -1));
    oleDb_.SetParameter(3, time);
    // Connecting builds the connection string afresh, so that changed settings count.
    if (!oleDbConnected_) {
      Debug("Opening PIOLEDB", true);
      oleDb_.SetConnectionString(PiOdbcConnectionString(settings_));
      oleDb_.Open();
      oleDbConnected_ = true;
    }
    oleDb_.OpenQuery();
    oleDb_.First();
    const double result = oleDb_.FirstColumnAsDouble();
    oleDb_.Close();
    oleDbConnected_ = false;
    return result;
  } catch (const std::exception& error) {
    log_.Entry("Exception" + std::string(kLineBreak) + WithoutSecret(error.what(), password) + kLineBreak +
               "for tag=" + tag + kLineBreak + "host=" + host + kLineBreak + "user=" + user + kLineBreak +
               "time=" + DateTimeText(time));
    return kNoValueFound;
  }
}

}  // namespace tavro
