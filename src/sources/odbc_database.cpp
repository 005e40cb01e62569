#include "sources/odbc_database.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>

#include "sources/sql_parameters.h"
#include "support/connection_string.h"
#include "support/text.h"
#include "support/wide_text.h"

namespace tavro {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC's wide characters are UTF-16 units");

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

// Drivers break their messages into lines with LF alone; the log's line break is CR LF.
std::string LogLines(const std::string& message) {
  std::string lines;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\n' && (i == 0 || message[i - 1] != '\r')) lines += '\r';
    lines += message[i];
  }
  return lines;
}

// The diagnostic records of a handle: "[SQLSTATE] message", one per line.
std::string Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::string text;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    std::u16string message(512, u'\0');
    SQLSMALLINT length = 0;
    SQLRETURN result = SQLGetDiagRecW(handleType, handle, record, state, &nativeError, Wide(message),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
    if (result == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.assign(static_cast<std::size_t>(length) + 1, u'\0');
      result = SQLGetDiagRecW(handleType, handle, record, state, &nativeError, Wide(message),
                              static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(result)) break;
    message.resize(std::min<std::size_t>(static_cast<std::size_t>(length), message.size()));
    const std::u16string_view sqlState(reinterpret_cast<const char16_t*>(state), 5);
    if (!text.empty()) text += kLineBreak;
    text += "[" + FromWideText(sqlState) + "] " + LogLines(TrimBlanks(FromWideText(message)));
  }
  return text;
}

SQL_TIMESTAMP_STRUCT ToTimestamp(DateTime value) {
  const CivilDateTime c = ToCivil(value);
  SQL_TIMESTAMP_STRUCT stamp{};
  stamp.year = static_cast<SQLSMALLINT>(c.year);
  stamp.month = static_cast<SQLUSMALLINT>(c.month);
  stamp.day = static_cast<SQLUSMALLINT>(c.day);
  stamp.hour = static_cast<SQLUSMALLINT>(c.hour);
  stamp.minute = static_cast<SQLUSMALLINT>(c.minute);
  stamp.second = static_cast<SQLUSMALLINT>(c.second);
  stamp.fraction = static_cast<SQLUINTEGER>(c.millisecond) * 1000000u;  // nanoseconds
  return stamp;
}

// A number as drivers write one in text (blanks around it, as fixed-width character columns pad
// it, do not count); NULL counts as 0.
double ColumnNumber(const std::optional<std::string>& column) {
  if (!column) return 0.0;
  std::string_view text = TrimView(*column);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  // strtod, not from_chars: that one pulls in the maths library for its rounding mode, which costs
  // the idle launcher a third of a megabyte. The launcher never changes LC_NUMERIC, so the point
  // is the decimal sign; blanks after the sign and hexadecimal are refused as from_chars does.
  const std::string number(text);
  const bool plain = !number.empty() && !IsBlank(number.front()) && number.find_first_of("xX") == std::string::npos;
  char* end = nullptr;
  errno = 0;
  const double value = plain ? std::strtod(number.c_str(), &end) : 0.0;
  if (!plain || end != number.c_str() + number.size() || errno == ERANGE) {
    throw DatabaseError("'" + *column + "' is not a valid floating point value");
  }
  return value;
}

// Frees a statement however the query ends.
struct StatementHandle {
  SQLHSTMT handle = SQL_NULL_HSTMT;
  ~StatementHandle() {
    if (handle != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, handle);
  }
};

}  // namespace

OdbcDatabase::OdbcDatabase(OdbcTimeouts timeouts) : timeouts_(timeouts) {}

OdbcDatabase::~OdbcDatabase() {
  Close();
  if (environment_ != nullptr) SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

void OdbcDatabase::Check(short result, short handleType, void* handle, const char* what) const {
  if (SQL_SUCCEEDED(result)) return;
  std::string message = Diagnostics(handleType, handle);
  if (message.empty()) message = std::string(what) + " failed without a message from the driver";
  // Some drivers quote the connection string in their messages.
  throw DatabaseError(MaskPasswords(std::move(message), connectionString_));
}

void OdbcDatabase::SetConnectionString(const std::string& text) { connectionString_ = text; }

void OdbcDatabase::Open() {
  if (connection_ != nullptr) return;
  if (environment_ == nullptr) {
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
      throw DatabaseError("The ODBC driver manager cannot be used");
    }
    environment_ = environment;
    Check(SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, environment_, "SQLSetEnvAttr");
  }
  SQLHDBC connection = SQL_NULL_HDBC;
  Check(SQLAllocHandle(SQL_HANDLE_DBC, environment_, &connection), SQL_HANDLE_ENV, environment_, "SQLAllocHandle");
  // A driver without login timeouts still connects; its own default wait applies then.
  SQLSetConnectAttr(connection, SQL_ATTR_LOGIN_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeouts_.login)), 0);
  std::u16string text = ToWideText(connectionString_);
  const SQLRETURN result =
      SQLDriverConnectW(connection, nullptr, Wide(text), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  try {
    Check(result, SQL_HANDLE_DBC, connection, "SQLDriverConnect");
  } catch (const DatabaseError&) {
    SQLFreeHandle(SQL_HANDLE_DBC, connection);
    throw;
  }
  connection_ = connection;
}

void OdbcDatabase::Close() {
  CloseQuery();
  if (connection_ == nullptr) return;
  SQLDisconnect(connection_);
  SQLFreeHandle(SQL_HANDLE_DBC, connection_);
  connection_ = nullptr;
}

void OdbcDatabase::SetSql(const std::string& text, ParameterParsing parsing) {
  CloseQuery();
  if (parsing == ParameterParsing::On) {
    MarkedSql marked = MarkParameters(text);
    sql_ = std::move(marked.text);
    parameters_.assign(marked.names.size(), std::nullopt);
  } else {
    sql_ = text;
    parameters_.clear();
  }
}

void OdbcDatabase::SetParameter(std::size_t position, const QueryParameter& value) {
  if (position < 1 || position > parameters_.size()) {
    throw DatabaseError("The query has no parameter " + std::to_string(position));
  }
  parameters_[position - 1] = value;
}

void OdbcDatabase::OpenQuery() {
  if (queryOpen_) return;
  if (sql_.empty()) throw DatabaseError("The query has no SQL text");
  Open();
  StatementHandle statement;
  Check(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement.handle), SQL_HANDLE_DBC, connection_,
        "SQLAllocHandle");
  SQLSetStmtAttr(statement.handle, SQL_ATTR_QUERY_TIMEOUT,
                 reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeouts_.query)), 0);

  // The bound values must stay where they are until the statement has run.
  const std::size_t count = parameters_.size();
  std::vector<std::u16string> texts(count);
  std::vector<SQL_TIMESTAMP_STRUCT> stamps(count);
  std::vector<SQLLEN> lengths(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto number = static_cast<SQLUSMALLINT>(i + 1);
    SQLRETURN result;
    if (!parameters_[i]) {
      lengths[i] = SQL_NULL_DATA;
      result = SQLBindParameter(statement.handle, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1, 0,
                                nullptr, 0, &lengths[i]);
    } else if (const auto* text = std::get_if<std::string>(&*parameters_[i])) {
      texts[i] = ToWideText(*text);
      lengths[i] = static_cast<SQLLEN>(texts[i].size() * sizeof(char16_t));
      result = SQLBindParameter(statement.handle, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                std::max<SQLULEN>(texts[i].size(), 1), 0, Wide(texts[i]), lengths[i], &lengths[i]);
    } else {
      stamps[i] = ToTimestamp(std::get<DateTime>(*parameters_[i]));
      lengths[i] = sizeof stamps[i];
      // 23 characters: "yyyy-mm-dd hh:mm:ss.fff", three digits of fraction.
      result = SQLBindParameter(statement.handle, number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP,
                                23, 3, &stamps[i], lengths[i], &lengths[i]);
    }
    Check(result, SQL_HANDLE_STMT, statement.handle, "SQLBindParameter");
  }
  std::u16string sql = ToWideText(sql_);
  const SQLRETURN result = SQLExecDirectW(statement.handle, Wide(sql), SQL_NTS);
  if (result != SQL_NO_DATA) Check(result, SQL_HANDLE_STMT, statement.handle, "SQLExecDirect");
  ReadResult(statement.handle);
}

void OdbcDatabase::ReadResult(void* statement) {
  SQLSMALLINT columns = 0;
  Check(SQLNumResultCols(statement, &columns), SQL_HANDLE_STMT, statement, "SQLNumResultCols");
  std::int64_t count = 0;
  ColumnText first, last;
  while (columns > 0) {
    const SQLRETURN result = SQLFetch(statement);
    if (result == SQL_NO_DATA) break;
    Check(result, SQL_HANDLE_STMT, statement, "SQLFetch");
    last = ReadFirstColumn(statement);
    if (count++ == 0) first = last;
  }
  recordCount_ = count;
  firstRow_ = std::move(first);
  lastRow_ = std::move(last);
  onLastRow_ = false;
  queryOpen_ = true;
}

OdbcDatabase::ColumnText OdbcDatabase::ReadFirstColumn(void* statement) const {
  std::u16string value;
  // Long values come in pieces; each piece but the last fills the buffer up to its terminator.
  for (;;) {
    char16_t buffer[256];
    SQLLEN length = 0;
    const SQLRETURN result = SQLGetData(statement, 1, SQL_C_WCHAR, buffer, sizeof buffer, &length);
    if (result == SQL_NO_DATA) break;
    Check(result, SQL_HANDLE_STMT, statement, "SQLGetData");
    if (length == SQL_NULL_DATA) return std::nullopt;
    const std::size_t room = std::size(buffer) - 1;
    const bool partial = length == SQL_NO_TOTAL || static_cast<std::size_t>(length) / sizeof(char16_t) > room;
    value.append(buffer, partial ? room : static_cast<std::size_t>(length) / sizeof(char16_t));
    if (!partial) break;
  }
  return FromWideText(value);
}

void OdbcDatabase::CloseQuery() {
  queryOpen_ = false;
  recordCount_ = 0;
  firstRow_.reset();
  lastRow_.reset();
}

std::int64_t OdbcDatabase::RecordCount() {
  if (!queryOpen_) throw DatabaseError("The query is not open");
  return recordCount_;
}

void OdbcDatabase::First() { onLastRow_ = false; }

void OdbcDatabase::Last() { onLastRow_ = true; }

double OdbcDatabase::FirstColumnAsDouble() {
  if (!queryOpen_) throw DatabaseError("The query is not open");
  if (recordCount_ == 0) throw DatabaseError("The query has no rows");
  return ColumnNumber(onLastRow_ ? lastRow_ : firstRow_);
}

}  // namespace tavro
