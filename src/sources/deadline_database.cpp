#include "sources/deadline_database.h"

namespace tavro {

DeadlineDatabase::DeadlineDatabase(ReadDeadline& deadline, std::string source, LogSink& log, Maker make)
    : deadline_(deadline), givenUp_(std::move(source), log), make_(std::move(make)), behind_(make_()) {}

void DeadlineDatabase::SetConnectionString(const std::string& text) {
  behind_->SetConnectionString(text);
  connectionString_ = text;
}

void DeadlineDatabase::SetSql(const std::string& text, ParameterParsing parsing) {
  behind_->SetSql(text, parsing);
  sql_.emplace(text, parsing);
  parameters_.clear();
}

void DeadlineDatabase::SetParameter(std::size_t position, const QueryParameter& value) {
  behind_->SetParameter(position, value);
  parameters_.insert_or_assign(position, value);
}

void DeadlineDatabase::Open() { Blocking(&Database::Open); }

void DeadlineDatabase::OpenQuery() { Blocking(&Database::OpenQuery); }

void DeadlineDatabase::Blocking(void (Database::*call)()) {
  try {
    deadline_.Run(givenUp_, [database = behind_, call] { ((*database).*call)(); });
  } catch (const ReadGivenUp& givenUp) {
    if (givenUp.refused) throw;  // it never reached the database, which stays
    behind_ = make_();
    if (connectionString_) behind_->SetConnectionString(*connectionString_);
    if (sql_) behind_->SetSql(sql_->first, sql_->second);
    for (const auto& [position, value] : parameters_) behind_->SetParameter(position, value);
    throw;
  } catch (const DatabaseError& error) {
    if (ServerUnreachable(error)) givenUp_.Away(deadline_.CurrentTick());  // not asked again in this tick
    throw;
  }
}

}  // namespace tavro
