#pragma once
// What the SQL readers need of a database: one connection with its one query, the way the control
// window's connection and query components serve the IP21, SQL Server and PI OLE DB reads. The
// launcher reaches databases through ODBC (OdbcDatabase); tests put a fake here to inject failures.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

#include "support/date_time.h"

namespace tavro {

// A failure of the driver, the server or the query, with the driver's message (passwords masked).
// The readers catch it, log it and report their failure value.
class DatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whether the failure says that the server could not be reached or the connection to it broke
// (SQLSTATE class 08, or a login timeout), as opposed to a server that answered and refused.
bool ServerUnreachable(const DatabaseError& error);
// The same of any failure: false for one that is no DatabaseError.
bool ServerUnreachable(const std::exception& error);

// Whether ":name" in an SQL text marks a parameter. Off, the text goes to the server as written,
// colons included (the IP21 times are written into its query).
enum class ParameterParsing { Off, On };

// A parameter takes a text or a date-time; its type follows the value.
using QueryParameter = std::variant<std::string, DateTime>;

class Database {
 public:
  virtual ~Database() = default;

  // The connection string for the next Open.
  virtual void SetConnectionString(const std::string& text) = 0;
  // Connects; nothing happens when connected already.
  virtual void Open() = 0;
  // Closes the query, then disconnects; nothing happens when closed already. Never fails.
  virtual void Close() = 0;

  // Sets the query's SQL text; with parsing on, every ":name" outside quotes becomes a parameter,
  // numbered from 1 in order of appearance. Closes an open query.
  virtual void SetSql(const std::string& text, ParameterParsing parsing) = 0;
  virtual void SetParameter(std::size_t position, const QueryParameter& value) = 0;
  // Runs the SQL text (connecting first when needed) and stands on the first row of the result;
  // nothing happens when the query is open already.
  virtual void OpenQuery() = 0;
  // Releases the result; nothing happens when closed already. Never fails.
  virtual void CloseQuery() = 0;
  virtual std::int64_t RecordCount() = 0;
  virtual void First() = 0;
  virtual void Last() = 0;
  // The first column of the current row as a floating value; a column that holds no number fails.
  virtual double FirstColumnAsDouble() = 0;
};

}  // namespace tavro
