#pragma once
// The ODBC driver for SQL Server when the configuration names none: the one that comes with the
// platform, or that its vendor ships for it.

namespace tavro {

const char* DefaultMssqlDriver();

}  // namespace tavro
