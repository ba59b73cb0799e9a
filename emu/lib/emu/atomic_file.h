// atomic_file.h - replacing a file so that readers see the old or the new contents, never a mix.
#pragma once

#include <string>

namespace emu {

// Writes |contents| to a temporary file beside |path| and renames it over |path| (or exchanges
// the two, then removes the old one): a process that dies half-way leaves the old file whole, or
// at worst a temporary "<path>.tmp.<pid>" beside the new one. False (and |path| untouched) when
// any step fails.
bool WriteFileAtomically(const std::string& path, const std::string& contents);
// The whole file in |*contents|; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* contents);

}  // namespace emu
