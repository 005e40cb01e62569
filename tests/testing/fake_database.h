#pragma once
// A database that records what the readers ask of it, answers with the rows a test gives, and fails
// at the call a test names: the readers' failure paths without a failing server.

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "sources/database.h"
#include "sources/sql_parameters.h"
#include "support/date_time_text.h"

namespace tavro::testutil {

class FakeDatabase final : public Database {
 public:
  std::vector<double> rows;  // the first column of each row of every result
  std::string failAt;        // the call that throws, by its name in `calls` ("Open", "OpenQuery" ...)
  std::string failure = "[HY000] injected failure";
  std::function<void()> whileQuerying;  // when set, OpenQuery runs it: a server that may stop answering
  // Every call, in order: the name, and for calls with arguments a blank and the arguments.
  std::vector<std::string> calls;
  // What reached the server: each query that ran, with the connection it ran on.
  struct SentQuery {
    std::string connection;               // the connection string it was opened with
    std::string sql;                      // as sent, "?" in place of each ":name"
    std::vector<std::string> parameters;  // by position; date-times as "yyyy-mm-dd hh:nn:ss"
    friend bool operator==(const SentQuery&, const SentQuery&) = default;
  };
  std::vector<SentQuery> sent;

  void SetConnectionString(const std::string& text) override {
    Call("SetConnectionString", text);
    connectionString_ = text;
  }
  void Open() override {
    Call("Open");
    if (!open_) connectedWith_ = connectionString_;
    open_ = true;
  }
  void Close() override {
    calls.push_back("Close");
    open_ = queryOpen_ = false;
  }
  void SetSql(const std::string& text, ParameterParsing parsing) override {
    Call("SetSql", (parsing == ParameterParsing::On ? "On " : "Off ") + text);
    queryOpen_ = false;
    const MarkedSql marked = MarkParameters(text);
    sql_ = parsing == ParameterParsing::On ? marked.text : text;
    parameters_.assign(parsing == ParameterParsing::On ? marked.names.size() : 0, "");
  }
  void SetParameter(std::size_t position, const QueryParameter& value) override {
    const auto* text = std::get_if<std::string>(&value);
    const std::string written = text ? *text : FormatDateTime("yyyy-mm-dd hh:nn:ss", std::get<DateTime>(value));
    Call("SetParameter", std::to_string(position) + " " + written);
    if (position < 1 || position > parameters_.size()) throw DatabaseError("no parameter " + std::to_string(position));
    parameters_[position - 1] = written;
  }
  // As the real one: a query that is open already stays as it ran, whatever was set since.
  void OpenQuery() override {
    Call("OpenQuery");
    if (queryOpen_) return;
    if (whileQuerying) whileQuerying();
    if (!open_) connectedWith_ = connectionString_;
    sent.push_back({connectedWith_, sql_, parameters_});
    open_ = queryOpen_ = true;
    onLast_ = false;
  }
  void CloseQuery() override {
    calls.push_back("CloseQuery");
    queryOpen_ = false;
  }
  std::int64_t RecordCount() override {
    Call("RecordCount");
    return static_cast<std::int64_t>(rows.size());
  }
  void First() override {
    Call("First");
    onLast_ = false;
  }
  void Last() override {
    Call("Last");
    onLast_ = true;
  }
  double FirstColumnAsDouble() override {
    Call("FirstColumnAsDouble");
    if (!queryOpen_ || rows.empty()) throw DatabaseError("no current row");
    return onLast_ ? rows.back() : rows.front();
  }

  bool Connected() const { return open_; }

 private:
  void Call(const std::string& name, const std::string& arguments = {}) {
    calls.push_back(arguments.empty() ? name : name + " " + arguments);
    if (name == failAt) throw DatabaseError(failure);
  }

  bool open_ = false, queryOpen_ = false, onLast_ = false;
  std::string connectionString_, connectedWith_, sql_;
  std::vector<std::string> parameters_;
};

}  // namespace tavro::testutil
