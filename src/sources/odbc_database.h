#pragma once
// The database of the SQL readers over ODBC: the driver manager of the platform (unixODBC on
// Linux, odbc32 on Windows) with the driver the connection string names. Only the wide and
// unsuffixed ODBC functions are called, so that the Windows build also runs where the "...A"
// functions are missing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sources/database.h"

namespace tavro {

// What the driver is asked to bound, in seconds; an expired wait is a DatabaseError. Neither bounds
// a server that stops answering: psqlODBC has the server itself enforce the query timeout, and a
// driver may wait on a connection for as long as it stays open. The read's deadline
// (read_deadline.h) is what bounds a read.
struct OdbcTimeouts {
  int login = 5;
  int query = 10;
};

class OdbcDatabase final : public Database {
 public:
  explicit OdbcDatabase(OdbcTimeouts timeouts = {});
  ~OdbcDatabase() override;
  OdbcDatabase(const OdbcDatabase&) = delete;
  OdbcDatabase& operator=(const OdbcDatabase&) = delete;

  void SetConnectionString(const std::string& text) override;
  void Open() override;
  void Close() override;
  void SetSql(const std::string& text, ParameterParsing parsing) override;
  void SetParameter(std::size_t position, const QueryParameter& value) override;
  void OpenQuery() override;
  void CloseQuery() override;
  std::int64_t RecordCount() override;
  void First() override;
  void Last() override;
  double FirstColumnAsDouble() override;

 private:
  // The first column of a row as the driver writes it in text; nothing for NULL.
  using ColumnText = std::optional<std::string>;

  // Throws the DatabaseError of a failed call, with the diagnostic records of the handle.
  void Check(short result, short handleType, void* handle, const char* what) const;
  void ReadResult(void* statement);
  ColumnText ReadFirstColumn(void* statement) const;

  OdbcTimeouts timeouts_;
  std::string connectionString_;
  void* environment_ = nullptr;  // SQLHENV, made at the first Open
  void* connection_ = nullptr;   // SQLHDBC while connected

  std::string sql_;  // as sent: "?" for each parameter
  std::vector<std::optional<QueryParameter>> parameters_;

  // The result, read to its end when the query opens: ODBC's forward-only cursors do not go back,
  // and some drivers do not know the row count in advance.
  bool queryOpen_ = false;
  std::int64_t recordCount_ = 0;
  ColumnText firstRow_, lastRow_;
  bool onLastRow_ = false;
};

}  // namespace tavro
