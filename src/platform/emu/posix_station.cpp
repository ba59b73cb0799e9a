// posix_station.cpp - the station's name from the host name.
#include <unistd.h>

#include <climits>

#include "platform/station.h"

std::string StationName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}
