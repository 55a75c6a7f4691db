// The installed program's side of a removal that runs from a copy
// (RemovalCopyText.h). A removal started from the folder of the program
// that the removed product's uninstall entry starts copies that program,
// its script and the libraries the script names into a new folder for
// administrators below the Windows folder's Temp, starts the copy with its
// own command line and waits for it: deployment tools wait for the process
// they started and read its exit code. Meanwhile it holds nothing open in
// its folder but its own file, which the copy moves out of the way
// (MoveAside.h), so the installed folder goes at once.
//
// The copy runs on the NT family only: Windows 9x neither renames a running
// program nor deletes folders at a restart, so there nothing would be won.
#pragma once

#include "SetupCommandLine.h"

#include <cstddef>
#include <string>

// The program the uninstall entry of a removal's key (/remove:KEY) starts:
// the program part of its UninstallString. False when the run is no
// removal, the key could not name an entry (empty, or with a backslash) or
// the entry or its value is missing.
bool RegisteredProgram(const SetupOptions& options, char* program, size_t size);

// Whether two folder paths name the same folder: each made whole (full
// path, long names where the system has them, no trailing backslash) and
// compared without regard to case.
bool SameFolder(const char* a, const char* b);

// This program's folder (without a trailing backslash) and file name.
bool OwnProgram(char* folder, size_t folderSize, char* name, size_t nameSize);

// Runs a removal (/remove:KEY, not the copy itself) that started from the
// registered program's folder from a copy, as above: `arguments` are the
// command line after the program name, which the copy gets as they are and
// in the caller's current folder (so that relative log names mean the
// same), followed by kRemovalCopySwitch. Returns true when the copy ran,
// with its exit code in `exitCode`. False when the removal is to run here:
// it started elsewhere, or the copy could not be made or started (`why`
// says why then, for the debug log once its files are open; nothing of the
// copy is left).
bool RemoveFromCopy(const SetupOptions& options, const char* arguments, int* exitCode, std::string* why);
