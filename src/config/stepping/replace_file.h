// replace_file.h - saving a file so that a failure part way never leaves it truncated or half
// written: the new contents go to a file beside it, which is then renamed over it.
#pragma once

#include <cstddef>

#include "platform/console.h"

// Replaces the contents of |file_name| with |size| bytes. Returns true, or false after a message
// ("Couldn't create file %s" or "Couldn't write file %s"), the old file then being untouched.
bool ReplaceFileBytes(const char* file_name, const void* bytes, size_t size, Console& console);
