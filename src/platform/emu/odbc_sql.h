// odbc_sql.h - the ODBC declarations as unixODBC ships them; its SQLWCHAR is 16 bits, as on
// Windows, so both systems exchange UTF-16 text with the driver.
#pragma once

#include <sql.h>
#include <sqlext.h>
