// build_version.h - which build a program is: the project's version and the commit it was built
// from, for --version and for anything else that must name the build.
#pragma once

#include <string>

// The project's version, "major.minor.patch".
const char* ProjectVersion();
// The abbreviated commit the build was made from, with "-dirty" when the checkout had changes,
// or "unknown" when the sources were no git checkout.
const char* BuildCommit();
// "<program> <version> (commit <commit>)", without a line end: what --version prints.
std::string VersionLine(const char* program);
