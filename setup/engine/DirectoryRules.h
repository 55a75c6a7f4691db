// Directory texts of the uninstall entries and the ProductDestinationDirs
// lines (key = directory identifier, sub-directory below the target
// directory). Plain text logic without windows.h.
#pragma once

#include <cstddef>

// The target directory belonging to a product directory `value` read back
// from an uninstall entry, into `base` (`size` bytes, cut to fit). With no
// sub-directory line for the key (`subDir` null) it is the value itself.
// Otherwise it is the value without its final "\<subDir>" (compared without
// regard to ASCII case) when the value is longer than the sub-directory and
// ends so, else empty; an empty sub-directory leaves the value whole.
void BaseDirectoryOf(const char* value, const char* subDir, char* base, size_t size);

// A key's own directory below the target directory: "<target>\<subDir>",
// or the target itself for an empty sub-directory. Returns 0 (with `out`
// empty) when it does not fit into `size` bytes.
int JoinSubDirectory(const char* target, const char* subDir, char* out, size_t size);

// A directory identifier written as text: hexadecimal after "0x", octal
// after a leading 0, else decimal. Returns 0 for a text that is no number.
unsigned long ParseDirectoryId(const char* text);
