#include "sources/mssql_reader.h"

#include <exception>

#include "config/ini_reading.h"
#include "sources/mssql_driver.h"
#include "sources/read_deadline.h"
#include "support/connection_string.h"
#include "support/text.h"

namespace tavro {

std::string MssqlQueryText(const ProgramSettings& settings) {
  return "select " + settings.MssqlValueColumn + " from " + settings.MssqlTable + " where " +
         settings.MssqlTagColumn + "=:tag and " + settings.MssqlTimeColumn + " between :pred and :po";
}

std::string MssqlConnectionString(const ProgramSettings& settings) {
  const std::string driver = settings.MssqlDriver.empty() ? DefaultMssqlDriver() : settings.MssqlDriver;
  // The driver's name goes in braces even without a ";": names with blanks are written so.
  std::string braced = OdbcValue(driver);
  if (braced.front() != '{') braced = "{" + braced + "}";
  std::string text = "Driver=" + braced + ";Server=" + OdbcValue(settings.MssqlHost) +
                     ";Database=" + OdbcValue(settings.MssqlDatabase) + ";UID=" + OdbcValue(settings.MssqlUser) +
                     ";PWD=" + OdbcValue(settings.MssqlPassword);
  return AppendOdbcAttributes(std::move(text), settings.MssqlOdbcAttributes);
}

void MssqlReader::Prepare(const ProgramSettings& settings) {
  waitingForServer_ = settings;
  prepared_ = settings;
  lastRetryError_.clear();
  try {
    TryQuery(settings);
  } catch (const DatabaseError& error) {
    if (!ServerUnreachable(error)) {
      waitingForServer_.reset();
      prepared_.reset();
      throw;
    }
    saidLost_ = true;  // by the reading that takes the exception
    throw SourceUnreachable(error.what());
  }
  // A server that stopped answering within the trial (the deadline's ReadGivenUp) is away as well.
  waitingForServer_.reset();
  if (saidLost_) SayAnswersAgain();
}

// A server that was away after a given-up read, never said lost, is back in a plain entry: no alert
// of its end without one of its beginning.
void MssqlReader::SayAnswersAgain() {
  const char* text = "MSSQL answers again: tasks are gated on it again";
  if (saidLost_) {
    log_.Event(LogEvent::SourceBack, "-", text);
  } else {
    log_.Entry(text);
  }
  saidLost_ = false;
}

bool MssqlReader::KeepReady() {
  if (!waitingForServer_) return true;
  try {
    TryQuery(*waitingForServer_);
  } catch (const DatabaseError& error) {
    // Still away: nothing to say. A server that answers but refuses (a table gone meanwhile) is said
    // once; the gates stay closed until the next reading judges the settings.
    if (!ServerUnreachable(error) && lastRetryError_ != error.what()) {
      lastRetryError_ = error.what();
      log_.Entry("MSSQL error" + std::string(kLineBreak) + error.what());
    }
    return true;
  }
  waitingForServer_.reset();
  SayAnswersAgain();
  return true;
}

double MssqlReader::Read(const GateRequest& request) {
  if (waitingForServer_) return Failed(kNoValueFound, SourceFailed("its server has not answered since the reading"));
  try {
    const double value = ReadMssqlValue(request.task.runningtag, request.task.intervallength, request.slotTime);
    if (unreachable_ && prepared_) {
      SaySourceCannotBeReached(log_, "MSSQL");
      saidLost_ = true;
      WaitForServer();
    }
    return value;
  } catch (const ReadGivenUp&) {
    // Past the deadline (its one entry is the deadline's), or the end of the process.
    if (prepared_) WaitForServer();
    throw;
  }
}

void MssqlReader::WaitForServer() {
  waitingForServer_ = prepared_;
  lastRetryError_.clear();
}

void MssqlReader::TryQuery(const ProgramSettings& settings) {
  database_.Close();
  try {
    database_.SetConnectionString(MssqlConnectionString(settings));
    database_.Open();
    sqlText_ = MssqlQueryText(settings);
    database_.SetSql(sqlText_, ParameterParsing::On);
    // The trial: a tag and a window that need not find anything, only be accepted.
    const DateTime now = clock_.Now();
    database_.SetParameter(1, std::string("a"));
    database_.SetParameter(2, StartOfDay(now));
    database_.SetParameter(3, now);
    database_.OpenQuery();
    if (trial_ == TrialConnection::Close) database_.Close();
  } catch (...) {
    database_.Close();
    throw;
  }
}

double MssqlReader::ReadMssqlValue(const std::string& tag, std::int32_t intervalLength, DateTime time) {
  unreachable_ = false;
  try {
    database_.Open();
    database_.CloseQuery();
    database_.SetParameter(1, tag);
    database_.SetParameter(2, AddMinutes(time, -static_cast<std::int64_t>(intervalLength)));
    database_.SetParameter(3, time);
    database_.OpenQuery();
    double result = kNoValueFound;
    const bool found = database_.RecordCount() > 0;
    if (found) {
      database_.Last();
      result = database_.FirstColumnAsDouble();
    }
    database_.Close();
    if (!found) return Failed(result, NoValueFound(AddMinutes(time, -static_cast<std::int64_t>(intervalLength)), time));
    return result;
  } catch (const std::exception& error) {
    unreachable_ = ServerUnreachable(error);
    log_.Entry(std::string("MSSQL error:\r") + error.what());
    // The query's text is held as lines: it ends with a line break, and the entry with an empty line.
    log_.Write("query:\r" + sqlText_ + kLineBreak, false);
    database_.Close();
    return Failed(kNoValueFound, SourceFailed(std::string("MSSQL error: ") + error.what()));
  }
}

}  // namespace tavro
