#pragma once
// A database whose connecting and querying keep to the read's deadline (read_deadline.h). Those
// two calls run on a thread of their own against the database behind; a given-up call keeps that
// database to its thread, and the next call goes to a new one, set up as the old one was, so the
// next read connects afresh. The other calls do not wait on the server and run here. The source
// counts its given-up calls (given_up_calls.h); a server it could not reach, like one given up past
// the deadline, is not asked again in that tick.
//
// While a call runs, the main thread only waits: nothing else touches the database behind (the
// commands that could, a ReRead ini among them, wait for the end of the tick).

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "sources/database.h"
#include "sources/given_up_calls.h"
#include "sources/read_deadline.h"
#include "support/log_sink.h"

namespace tavro {

class DeadlineDatabase final : public Database {
 public:
  using Maker = std::function<std::unique_ptr<Database>()>;
  // `source` names it in the log.
  DeadlineDatabase(ReadDeadline& deadline, std::string source, LogSink& log, Maker make);

  void SetConnectionString(const std::string& text) override;
  void Open() override;
  void Close() override { behind_->Close(); }
  void SetSql(const std::string& text, ParameterParsing parsing) override;
  void SetParameter(std::size_t position, const QueryParameter& value) override;
  void OpenQuery() override;
  void CloseQuery() override { behind_->CloseQuery(); }
  std::int64_t RecordCount() override { return behind_->RecordCount(); }
  void First() override { behind_->First(); }
  void Last() override { behind_->Last(); }
  double FirstColumnAsDouble() override { return behind_->FirstColumnAsDouble(); }

 private:
  void Blocking(void (Database::*call)());

  ReadDeadline& deadline_;
  GivenUpCalls givenUp_;
  Maker make_;
  std::shared_ptr<Database> behind_;
  // What a new database is set up with.
  std::optional<std::string> connectionString_;
  std::optional<std::pair<std::string, ParameterParsing>> sql_;
  std::map<std::size_t, QueryParameter> parameters_;
};

}  // namespace tavro
