// The cabinets of the installation medium, checked before anything is read
// from them: every cabinet that [SourceDisksNames] names as a disk's tag
// file and that lies in the medium's folder (CabinetCheck.h). A cabinet that
// is missing is left to the file copy, which reports missing source files.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <cstddef>
#include <string>

// 1 when every cabinet present is whole. 0 for the first damaged one, with
// its path in `cabinet` (at most `cabinetSize` bytes), the reason in
// `problem` and ERROR_FILE_CORRUPT as the thread's last error (or the error
// of reading it). `folder` ends with a backslash.
int CheckMediumCabinets(HINF script, const char* folder, char* cabinet, size_t cabinetSize, std::string& problem);
