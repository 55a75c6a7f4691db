#include "DeployViews.h"

#include "InfDocument.h"

namespace {

const char kNativeKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kRedirectedKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

const uint16_t kMachineI386 = 0x014C;
const uint16_t kMachineAmd64 = 0x8664;

bool Has(const Bytes& b, size_t at, size_t n) { return at <= b.size() && n <= b.size() - at; }
uint32_t U16(const Bytes& b, size_t at) { return b[at] | static_cast<uint32_t>(b[at + 1]) << 8; }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// A command whose program is in quotes, as a 32-bit program on 64-bit
// Windows has it.
std::string RedirectedCommand(const std::string& command)
{
    return command.empty() || command[0] != '"' ? command : "\"" + RedirectedFor32Bit(command.substr(1));
}

}  // namespace

std::string ImageArchitecture(const Bytes& image)
{
    if (!Has(image, 0, 64) || image[0] != 'M' || image[1] != 'Z') return "";
    const size_t pe = U32(image, 60);
    if (!Has(image, pe, 6) || U32(image, pe) != 0x4550) return "";  // "PE\0\0"
    const uint32_t machine = U16(image, pe + 4);
    return machine == kMachineAmd64 ? "x64" : machine == kMachineI386 ? "x86" : "";
}

std::string RedirectedFor32Bit(const std::string& path)
{
    static const struct
    {
        const char* from;
        const char* to;
    } folders[] = {{"%ProgramFiles%", "%ProgramFiles(x86)%"},
                   {"%CommonProgramFiles%", "%CommonProgramFiles(x86)%"},
                   {"%windir%\\system32", "%windir%\\SysWOW64"}};
    for (const auto& folder : folders) {
        const std::string from = folder.from;
        const bool whole = path.size() == from.size() || (path.size() > from.size() && path[from.size()] == '\\');
        if (whole && SameName(path.substr(0, from.size()), from)) return folder.to + path.substr(from.size());
    }
    return path;
}

std::vector<DeployView> ViewsOf(const std::string& architecture, const std::string& key, const DeployView& written)
{
    DeployView native = written;
    native.registryKey = kNativeKey + key;
    if (architecture == "x64") {
        native.windows = native.view = "64-bit";
        return {native};
    }
    if (architecture != "x86") return {};
    native.windows = native.view = "32-bit";
    DeployView redirected = native;
    redirected.windows = "64-bit";
    redirected.registryKey = kRedirectedKey + key;
    redirected.installLocation = RedirectedFor32Bit(written.installLocation);
    redirected.uninstallString = RedirectedCommand(written.uninstallString);
    redirected.quietUninstallString = RedirectedCommand(written.quietUninstallString);
    return {redirected, native};
}
