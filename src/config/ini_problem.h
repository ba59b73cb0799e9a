// ini_problem.h - where in the INI file a fault lies: its line, section and key. The messages of
// the load and its checks name neither the file nor the line; these places let the utility add
// a hint beside them, "board.ini:12: ...", as a compiler does.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

enum class IniFault {
  kBadValue,        // a key's value was refused on its line
  kValueAbove,      // a key's value is above its range
  kMissingKey,      // a required key is not in its section
  kSectionRefused,  // the checks after the section's keys failed; its messages say which
  kUnknownSection,  // a header that names no section: its lines were skipped
  kMissingSection,  // a required section was not read
  kConflict,        // a key's value contradicts another's; |detail| says how
  kBlankedHeader,   // a header but for the blanks after its "]": read as no header; |section|
                    // holds it without them
};

struct IniProblem {
  IniFault fault = IniFault::kBadValue;
  int line = 0;         // from 1; 0 when no one line holds the fault
  std::string section;  // the header as the table names it, brackets included
  std::string key;      // empty when the fault is the section's
  std::string detail;   // kConflict: what the value contradicts; kUnknownSection: the known
                        // section it names in other letter cases or with blanks
};

// Where a key's last value stood: the checks over the whole file find their keys' lines here.
struct IniKeyPlace {
  int line = 0;
  std::string section;
};
// By key name; looked up by the key tables' names without making a string of each.
using IniKeyPlaces = std::map<std::string, IniKeyPlace, std::less<>>;

// The hint for |problem| in the file |file_name|, without a line end: "board.ini:12: what".
std::string DescribeIniProblem(const std::string& file_name, const IniProblem& problem);

struct IniState;

// A conflict of |key|'s value, at the place the file gave it (no line when it gave none).
IniProblem IniConflict(const IniState& state, const char* key, std::string detail);

// The required sections |present| says were not read, one problem each, in table order.
std::vector<IniProblem> MissingIniSections(const IniState& state);
