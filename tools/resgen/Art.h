// The picture sets resgen draws; each writes its files into `dir` (ending in
// a slash) and returns false when a file cannot be written.
#pragma once

#include <string>

bool WriteMdmprobeArt(const std::string& dir);
bool WriteSetupArt(const std::string& dir);
