#include "sources/mssql_driver.h"

namespace tavro {

const char* DefaultMssqlDriver() { return "ODBC Driver 18 for SQL Server"; }

}  // namespace tavro
