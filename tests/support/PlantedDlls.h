// Stand-ins of system DLLs planted where a program must not take DLLs from.
// The stand-in (MarkDll.cpp) leaves a mark file when it is loaded and
// refuses to load. Wine is told to prefer planted copies to its own DLLs,
// which gives Windows' search order for DLLs that are not Known DLLs: the
// program's folder first.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// Where the stand-in leaves its marks: "<dll name>-<process id>.mark",
// holding the stand-in's path and the program's, one per line.
constexpr char kMarkFolder[] = "C:\\planted-marks";

// Copies `markDll` into `folder` (created) under each of `names`. False
// when a copy fails.
bool PlantCopies(const std::string& markDll, const std::string& folder, const std::vector<std::string>& names);

// Wine loads a DLL of these names ("uxtheme.dll") from the search rather
// than its own (native first) in every process started from now on.
bool PreferPlantedCopies(const std::vector<std::string>& names);

// Every mark left so far, as "<file name>: <contents>".
std::vector<std::string> PlantedMarks();

// Whether the copy named `name` was loaded into the process `processId`.
bool Marked(const std::string& name, DWORD processId);

}  // namespace testsupport
