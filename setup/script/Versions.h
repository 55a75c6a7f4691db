// Installed and offered versions of products: the "ProductVersion" value of
// a product's uninstall key, the product version of a file, and the
// question asked before a newer installed version is replaced.
#pragma once

#include "NewerAnswer.h"

#include <windows.h>

#include <setupapi.h>

#include <cstddef>

// Size of the buffers that hold version texts read from the script or the
// registry.
enum : size_t { kVersionTextSize = 128 };

// The value "ProductVersion" of the uninstall key of `productKey` (under
// HKEY_LOCAL_MACHINE, "Software\Microsoft\Windows\CurrentVersion\Uninstall"),
// whatever its type, as text of at most 128 bytes. Returns 1, or 0 with the
// thread's last error when the key or the value cannot be read, or when the
// value is longer than 128 bytes or its text does not fit `size` bytes
// (ERROR_MORE_DATA): a cut version would be another version.
int ReadInstalledVersion(const char* productKey, char* buffer, size_t size);

// `versionText` against the installed version of `productKey` (see
// CompareVersionTexts): negative when the installed version is newer; 0 when
// they are equal or nothing is installed.
int CompareVersions(const char* productKey, const char* versionText);

// The product version of the file's fixed version information as
// "%d.%d.%d.%d", cut to `size` - 1 characters. Returns 1, or 0 with the
// thread's last error when the file has no version resource.
int FileVersion(const char* path, char* buffer, size_t size);

// A version field of the script (`buffer`, `size` bytes): "@<file>" is
// replaced by the product version of that source file (see References.h);
// any other text stays. Returns 0 only for a reference that gives no version.
int ResolveVersionField(HINF script, char* buffer, size_t size);

// Before the wizard: when the install section's `ProductVer` (resolved) is
// older than the version installed under its `Uninstall` key name, asks
// whether to replace it (Yes/No, No the default; also in unattended runs),
// unless `answer` already gives the answer. Returns 1 when the run may go
// on, 0 when the user answered No, -1 when `answer` keeps the installed
// version. Given answers write both versions to the debug log and the
// installation log.
int NewerVersionCheck(HINF script, HINSTANCE module, HWND owner, const char* installSection,
                      NewerAnswer answer = NewerAnswer::Ask);
