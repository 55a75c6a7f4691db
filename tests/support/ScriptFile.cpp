#include "ScriptFile.h"

#include <fstream>

namespace testsupport {

HINF OpenScript(const std::string& path, const std::string& text)
{
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    std::ofstream(path, std::ios::binary) << text;
    return SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
}

}  // namespace testsupport
