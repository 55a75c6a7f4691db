// The INI and registry entries of one run section, read through the Setup
// API's INF functions in the order SetupInstallFromInfSection carries them
// out: the UpdateInis, UpdateIniFields and Ini2Reg lists, then DelReg, then
// AddReg (BitReg, which setup.exe does not ask for, as skipped lines). The
// Setup API reports nothing per entry, so whoever needs each one (the
// installation log after the section is applied, a record of the previous
// values before) reads this list.
#pragma once

#include "SectionEntryText.h"

#include <windows.h>

#include <setupapi.h>

#include <vector>

// Every entry of `section`, with strings and directory ids substituted. A
// list the section names that does not exist adds nothing (the script
// check before the wizard refuses such a script).
std::vector<SectionEntry> ReadSectionEntries(HINF script, const char* section);
