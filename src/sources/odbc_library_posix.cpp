// The ODBC calls of odbc_database.cpp, forwarded to unixODBC's driver manager, which is loaded at
// the first call: a launcher that reads no SQL source never maps it (nor the libraries it pulls in),
// and one on a machine without it still runs every other source.

#include <sql.h>
#include <sqlext.h>

#include <memory>

#include "sources/database.h"
#include "sources/dynamic_library.h"

namespace tavro {
namespace {

// Loaded once, by the first call of any thread, and kept: what was looked up in it stays callable.
const DynamicLibrary* DriverManager() {
  static const std::unique_ptr<DynamicLibrary> library = DynamicLibrary::Load("libodbc.so.2");
  return library.get();
}

// Calls the driver manager's entry point of that name. Without the library, the call fails with the
// reason: only the first call of a connection gets here, before any handle exists to be freed. A
// library without the name fails the call as a driver would, for the caller's own message.
template <typename Function, typename... Args>
SQLRETURN Forward(const char* name, Args... args) {
  const DynamicLibrary* library = DriverManager();
  if (library == nullptr) {
    throw DatabaseError("The ODBC driver manager libodbc.so.2 cannot be loaded: install unixODBC (libodbc2)");
  }
  const auto entry = reinterpret_cast<Function*>(library->Find(name));
  return entry == nullptr ? SQL_ERROR : entry(args...);
}

}  // namespace
}  // namespace tavro

using tavro::Forward;

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  return Forward<decltype(SQLAllocHandle)>("SQLAllocHandle", type, input, output);
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  return Forward<decltype(SQLFreeHandle)>("SQLFreeHandle", type, handle);
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV environment, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length) {
  return Forward<decltype(SQLSetEnvAttr)>("SQLSetEnvAttr", environment, attribute, value, length);
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC connection, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length) {
  return Forward<decltype(SQLSetConnectAttr)>("SQLSetConnectAttr", connection, attribute, value, length);
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT statement, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length) {
  return Forward<decltype(SQLSetStmtAttr)>("SQLSetStmtAttr", statement, attribute, value, length);
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC connection, SQLHWND window, SQLWCHAR* in, SQLSMALLINT inLength,
                                    SQLWCHAR* out, SQLSMALLINT outRoom, SQLSMALLINT* outLength,
                                    SQLUSMALLINT completion) {
  return Forward<decltype(SQLDriverConnectW)>("SQLDriverConnectW", connection, window, in, inLength, out, outRoom,
                                              outLength, completion);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC connection) {
  return Forward<decltype(SQLDisconnect)>("SQLDisconnect", connection);
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLWCHAR* state,
                                 SQLINTEGER* nativeError, SQLWCHAR* message, SQLSMALLINT room,
                                 SQLSMALLINT* length) {
  return Forward<decltype(SQLGetDiagRecW)>("SQLGetDiagRecW", type, handle, record, state, nativeError, message,
                                           room, length);
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT direction,
                                   SQLSMALLINT valueType, SQLSMALLINT sqlType, SQLULEN size, SQLSMALLINT digits,
                                   SQLPOINTER value, SQLLEN room, SQLLEN* length) {
  return Forward<decltype(SQLBindParameter)>("SQLBindParameter", statement, number, direction, valueType, sqlType,
                                             size, digits, value, room, length);
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT statement, SQLWCHAR* text, SQLINTEGER length) {
  return Forward<decltype(SQLExecDirectW)>("SQLExecDirectW", statement, text, length);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT statement, SQLSMALLINT* count) {
  return Forward<decltype(SQLNumResultCols)>("SQLNumResultCols", statement, count);
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT statement) { return Forward<decltype(SQLFetch)>("SQLFetch", statement); }

SQLRETURN SQL_API SQLGetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT valueType, SQLPOINTER value,
                             SQLLEN room, SQLLEN* length) {
  return Forward<decltype(SQLGetData)>("SQLGetData", statement, column, valueType, value, room, length);
}

}  // extern "C"
