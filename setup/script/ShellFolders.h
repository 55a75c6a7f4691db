// Shell folders of the shortcut codes, read from the registry key
// "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders".
#pragma once

// Fills `path` (260 bytes) with the folder of `code` (see ShortcutText.h).
// A machine-wide code reads the local machine's value and falls back to the
// current user's value when that key or value is missing; a per-user code
// reads the current user's value. Plain text values are copied, expandable
// ones expanded. Returns 1, or 0 with `path` empty for an unknown code, a
// missing value, a value of another type or one longer than 255 bytes.
int ResolveShellFolder(const char* code, char* path);
