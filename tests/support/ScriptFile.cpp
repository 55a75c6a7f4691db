#include "ScriptFile.h"

#include <fstream>

namespace testsupport {

HINF OpenScript(const std::string& path, const std::string& text, UINT* errorLine)
{
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos)
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    std::ofstream(path, std::ios::binary) << text;
    UINT line = 0;
    HINF script = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &line);
    if (errorLine)
        *errorLine = line;
    return script;
}

}  // namespace testsupport
