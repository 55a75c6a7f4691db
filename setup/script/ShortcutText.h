// Text rules of shortcuts: the shell-folder codes of the setup script and
// the working directory of a shortcut. Plain text logic without windows.h.
#pragma once

#include <cstddef>

// Registry value names under "...\Explorer\Shell Folders" for one code.
struct ShellFolderValues
{
    const char* machineWide;  // under the local machine; null for per-user codes
    const char* perUser;      // under the current user (the fallback of machine-wide codes)
};

// The values of a folder code ("CDSK", "cprg", ...; compared without regard
// to ASCII case); null for an unknown code.
const ShellFolderValues* FindShellFolderCode(const char* code);

// The working directory of a shortcut to `target`: the target up to its last
// backslash, without it; empty when the target has none. Written into
// `buffer` (`size` bytes), cut to fit. Returns `buffer`.
char* ShortcutWorkingDir(const char* target, char* buffer, size_t size);

// Whether the shortcut name `name` stays inside its shell folder: no
// component of it (between backslashes or slashes) is "..".
bool ShortcutNameStaysInside(const char* name);
