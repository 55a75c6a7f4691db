// Setup scripts written by a test and opened through the Setup API.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <string>

namespace testsupport {

// Writes `text` to `path` (its folder is created) and opens it as a
// Windows-95-style script; INVALID_HANDLE_VALUE when it cannot be opened.
HINF OpenScript(const std::string& path, const std::string& text);

}  // namespace testsupport
