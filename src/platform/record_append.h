// record_append.h - appending a line to a record file that must never hold half a line: one
// write in append mode, flushed to the disk before the call returns.
#pragma once

#include <string>

// Opens |path| for appending, creating it when missing. True when it is (or now is) a regular
// file that can be appended to.
bool CanAppendToFile(const char* path);

// Appends |header| (only when the file is new or empty) and |line| with one write, then flushes
// the file to the disk. A last line left without its line end (a run that died in its write, an
// edit by hand) gets one first, in the same write, so the new line never joins it. Returns false
// when any of it failed.
bool AppendLineFlushed(const char* path, const std::string& header, const std::string& line);
