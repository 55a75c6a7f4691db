// Setup scripts written by a test and opened through the Setup API.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <string>

namespace testsupport {

// Writes `text` to `path` (its folder is created) and opens it as a
// Windows-95-style script. INVALID_HANDLE_VALUE when it cannot be opened;
// `errorLine` (may be null) gets the line the Setup API complains about.
HINF OpenScript(const std::string& path, const std::string& text, UINT* errorLine = nullptr);

// Closes the script when the scope ends.
class ScopedScript
{
public:
    explicit ScopedScript(HINF script) : script_(script) {}
    ~ScopedScript()
    {
        if (script_ != INVALID_HANDLE_VALUE)
            SetupCloseInfFile(script_);
    }
    ScopedScript(const ScopedScript&) = delete;
    ScopedScript& operator=(const ScopedScript&) = delete;
    HINF get() const { return script_; }

private:
    HINF script_;
};

}  // namespace testsupport
