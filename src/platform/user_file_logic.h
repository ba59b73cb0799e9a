// user_file_logic.h - the user-file and record services written over a FileSystem, so that the
// one logic serves every system and runs in the tests against a file system in memory. The
// functions of user_file.h and record_append.h are these, on the system's own file system.
#pragma once

#include <cstddef>
#include <string>

#include "platform/file_system.h"
#include "platform/user_file.h"

bool ReadUserFileOn(FileSystem& files, const char* name, void* buffer, size_t capacity,
                    size_t* count, std::string* reason = nullptr);
// The file opened for reading when it is a regular file; FileSystem::kNoHandle otherwise, with
// the reason in |*reason| when given.
FileSystem::Handle OpenRegularFileOn(FileSystem& files, const char* name,
                                     std::string* reason = nullptr);
// Reads until |capacity| bytes or the end; false on a read error.
bool ReadUpToOn(FileSystem& files, FileSystem::Handle file, char* buffer, size_t capacity,
                size_t* count, std::string* reason = nullptr);
bool ReadWholeUserFileOn(FileSystem& files, const char* name, size_t limit, std::string* contents,
                         std::string* reason = nullptr);
bool CanReplaceUserFileOn(FileSystem& files, const char* name);
ReplaceResult ReplaceUserFileOn(FileSystem& files, const char* name, const void* bytes, size_t size,
                                std::string* reason = nullptr);
bool SameUserFileOn(FileSystem& files, const char* first, const char* second);
uint64_t UserFileNameCountOn(FileSystem& files, const char* name);
// Sets |*handle| to the open, locked file when the result is kLocked.
UserFileLock::Result LockUserFileOn(FileSystem& files, const char* name, bool wait,
                                    FileSystem::Handle* handle);
// |locked| is the open, locked file that |name| must lead to.
void RemoveLostReplacementsOn(FileSystem& files, const char* name, FileSystem::Handle locked);

bool CanAppendToFileOn(FileSystem& files, const char* path);
bool AppendLineFlushedOn(FileSystem& files, const char* path, const std::string& header,
                         const std::string& line);
