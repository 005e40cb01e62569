#include "sources/mssql_driver.h"

namespace tavro {

// Part of every Windows installation.
const char* DefaultMssqlDriver() { return "SQL Server"; }

}  // namespace tavro
