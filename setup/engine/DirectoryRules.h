// Directory texts of the uninstall entries and the ProductDestinationDirs
// lines (key = directory identifier, sub-directory below the target
// directory). Plain text logic without windows.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

// A directory identifier of the user-defined range written as text: the
// whole text (blanks around it allowed) is a number, hexadecimal after
// "0x", octal after a leading 0, else decimal, from 32768 to 4294967294 but
// not 65535 (the Setup API reads 65535 and 4294967295 as -1, "absolute
// path"). False for any other text, which must not reach the Setup API: 0
// there clears every user-defined identifier, smaller ones name system
// folders.
bool ParseUserDirectoryId(const char* text, unsigned long* id);

// The folders of the target's sub-directory path, deepest first: `target`
// and each folder above it, up to and never including its base folder,
// when `target` ends with a backslash and `subDir` (the sub-directory of
// DefaultDestDir; its leading and trailing backslashes do not count,
// compared without regard to ASCII case) and is longer than that.
// "C:\Program Files\Vantor\Modem Tools" with "Vantor\Modem Tools" gives that
// folder and "C:\Program Files\Vantor". Empty otherwise, and for an empty
// `subDir`.
std::vector<std::string> SubDirectoryFolders(const char* target, const char* subDir);
