// build_version.cpp - the project's version, set by the build (the commit is in a file the build
// writes afresh whenever the checkout's commit changes).
#include "version/build_version.h"

const char* ProjectVersion() { return QNT_PROJECT_VERSION; }

std::string VersionLine(const char* program) {
  return std::string(program) + " " + ProjectVersion() + " (commit " + BuildCommit() + ")";
}
