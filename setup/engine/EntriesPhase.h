// The INI and registry phase of one run section: the Setup API writes the
// section's UpdateInis, UpdateIniFields, Ini2Reg, DelReg and AddReg entries,
// and the installation log gets one line per entry (SectionEntries.h), since
// the Setup API reports none.
#pragma once

#include <windows.h>

#include <setupapi.h>

// Applies the entries of `section` with `page` as the owner of the Setup
// API's dialogs. Returns 1, or 0 with the Setup API's error as the last
// error (the log then names the section that failed).
int WriteSectionEntries(HWND page, HINF script, const char* section);
