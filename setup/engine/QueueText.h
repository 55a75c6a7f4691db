// Path rules of the run's file-queue callback. Plain text logic without
// windows.h.
#pragma once

#include <cstddef>

// The directory of `path`: the text before its last backslash (empty when
// there is none), cut to `size` bytes.
void QueueDirectoryOf(const char* path, char* directory, size_t size);

// Whether the file name of `path` has the extension "cab" (the text after
// the last dot, any case).
bool IsCabinetName(const char* path);

// Whether a copy from `source` to `target` places a cabinet as it is: both
// file names (the text after the last backslash, or the whole path) are
// equal without regard to case and are cabinet names.
bool IsCabinetCopy(const char* source, const char* target);
