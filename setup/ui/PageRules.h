// Text rules of the component and target-directory pages. Plain logic
// without windows.h.
#pragma once

#include <cstddef>
#include <vector>

// The products "/quiet:a,b,zz" selects: for each comma-separated name of
// `quietText` in order, the index of the first entry of the global
// component list whose key equals it without regard to ASCII case. Names
// that match no entry select nothing.
std::vector<int> QuietSelection(const char* quietText);

// A typed target directory as it is stored: leading and trailing white
// space removed, then trailing backslashes. In place; returns `path`.
char* TrimTargetDirectory(char* path);

// Whether a stored target directory (see TrimTargetDirectory) is a real
// absolute path on a drive: a drive letter, a colon, a backslash and a
// folder ("C:\Tools"). Empty text, a drive without a folder, a path of
// backslashes, a relative path and a network path ("\\server\share": its
// permissions are the share's, not the machine's) are not.
bool IsAbsoluteTarget(const char* path);

// Why the folder of "/target:" cannot be the target directory, or null
// when it can. `path` is trimmed in place first (as typed text is), then
// held to the page's rules: an absolute path on a drive, not the drive's
// root, not a network path, no character that no folder name may hold.
const char* TargetSwitchProblem(char* path);

// The default target directory below the program-files folder: `base`, a
// backslash unless it ends with one, `subDir` without its leading
// backslash; a trailing backslash of the result is removed. Cut to fit
// `size` bytes.
void ComposeDefaultDirectory(const char* base, const char* subDir, char* out, size_t size);
