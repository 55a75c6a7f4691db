// The folder setup.exe runs from (the installation medium's folder). The
// program's current folder is the system folder, so every file of the
// medium is named by its full path from here, never relative to the
// current folder.
#pragma once

#include <cstddef>
#include <string>

// The program's folder with its trailing backslash; false (and "") when
// the module path does not fit MAX_PATH.
bool ProgramFolder(char* path, size_t size);

// `path` itself when it is absolute (a drive or a "\\" start), else the
// medium's folder followed by it: the program's folder, unless
// SetMediumFolder named another.
std::string MediumPath(const std::string& path);

// The medium's folder with its trailing backslash: the program's folder,
// unless SetMediumFolder named another. Empty when neither is known.
std::string MediumFolder();

// The folder MediumPath completes relative names with (ending with a
// backslash); empty: the program's folder again. For programs that read a
// medium other than their own folder (tests of the script layer).
void SetMediumFolder(const std::string& folder);
