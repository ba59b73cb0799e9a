// odbc_driver_manager.cpp - unixODBC's driver manager, loaded by the first database call.
#include <dlfcn.h>

#include "odbc_sql.h"

namespace odbc {

void* DriverManagerFunction(const char* name) {
  // Loaded once and kept: the drivers it loads stay in the process until it ends.
  static void* const library = dlopen("libodbc.so.2", RTLD_NOW | RTLD_LOCAL);
  return library == nullptr ? nullptr : dlsym(library, name);
}

}  // namespace odbc
