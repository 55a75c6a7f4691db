// Which install, remove and products sections of the setup script apply to
// a Windows version. Plain text logic without windows.h.
#pragma once

#include <functional>

struct WindowsVersionInfo
{
    bool nt;          // NT family; false for Windows 95, 98 and Me
    unsigned major;
    unsigned minor;
};

enum ScriptColumn { kInstallColumn = 0, kRemoveColumn = 1, kProductsColumn = 2 };

// The names tried for `column` on `version`, best first, ending with the
// plain fallback ("Install", "Remove", "Products"). NT family: ".XP" (major
// 5 or later with a minor of 1 or more, so 6.0 does not count), ".NT5"
// (major 5 or later), ".NTx86", ".NT". Windows 9x: ".WinMe" (above 4.7, so
// 98's 4.10 counts), ".Win98" (above 4.0), ".Win". Returns the count written
// to `names` (at most 5).
int SectionCandidates(const WindowsVersionInfo& version, ScriptColumn column, const char* names[5]);

// The first candidate for which `hasLines` holds; the fallback is taken
// without asking.
const char* ChooseSection(const WindowsVersionInfo& version, ScriptColumn column,
                          const std::function<bool(const char* name)>& hasLines);
