// The registry and INI entries of a section, journalled before the Setup
// API writes them: the Setup API reports nothing per value, so the lines
// of the section's AddReg, DelReg, BitReg, UpdateInis and UpdateIniFields
// lists are read here and each value or entry they touch is recorded.
#pragma once

#include <windows.h>

#include <setupapi.h>

// Journals what the entries of `section` will change (nothing without an
// active journal).
void JournalSectionEntries(HINF script, const char* section);
