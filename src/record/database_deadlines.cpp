// database_deadlines.cpp - the station's deadlines from its environment.
#include "record/database_deadlines.h"

#include <cstdlib>

namespace {

void ReadSeconds(const char* name, int* seconds) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end == '\0' && value >= 1 && value <= 3600) *seconds = static_cast<int>(value);
}

}  // namespace

DatabaseTimeouts RecordDeadlines() {
  DatabaseTimeouts timeouts;
  ReadSeconds(kRecordTimeoutEnvironment, &timeouts.query_seconds);
  ReadSeconds(kRecordLoginTimeoutEnvironment, &timeouts.login_seconds);
  return timeouts;
}
