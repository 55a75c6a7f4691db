// Text rules of plug-in listings and of the paths plug-ins queue. Plain
// logic without windows.h.
#pragma once

#include <cstddef>

// Longest `Plugins` field taken at collection: the field is read whole and
// cut to this many characters, so the first calls of a plug-in see at most
// that much of its parameter text.
enum : size_t { kPluginFieldMax = 259 };

// Splits a `Plugins` field "library[:parameter]" at its first ":". The
// library name goes to `library` (cut to `librarySize`); the returned
// pointer is the parameter text inside `field` ("" without a ":").
const char* SplitPluginField(const char* field, char* library, size_t librarySize);

// Splits `path` at its last backslash: the directory (without that
// backslash) goes to `directory`, and the file name is returned (pointing
// into `path`). A path without a backslash has the directory ".". Returns
// null, with `directory` empty, when the directory does not fit into
// `directorySize` bytes.
const char* SplitAtLastBackslash(const char* path, char* directory, size_t directorySize);
