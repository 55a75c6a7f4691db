// Reads the shipped programs of both Windows builds back as files and checks
// what Windows relies on: GUI subsystem, the application manifest (identity,
// architecture, Common-Controls 6 dependency) and the version resource.
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using testsupport::UnixToWinPath;

namespace {

std::string g_distRoot;  // Windows path of dist/, from the command line

struct Program
{
    const char* file;
    const char* identity;
    const char* version;
};

const Program kMdmprobe = {"mdmprobe.exe", "vantor.mdmprobe", "1.1.0.0"};
const Program kSetup = {"setup.exe", "vantor.setup", "1.0.0.0"};

std::string ProgramPath(const char* arch, const Program& program)
{
    return g_distRoot + "\\" + arch + "\\" + program.file;
}

std::string ReadManifest(const std::string& path)
{
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "";
    std::string text;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (info) {
        HGLOBAL data = LoadResource(module, info);
        const char* bytes = static_cast<const char*>(LockResource(data));
        if (bytes)
            text.assign(bytes, SizeofResource(module, info));
    }
    FreeLibrary(module);
    return text;
}

// The attribute value of `name` inside the first element that starts with `element`
// and contains `marker` (used to tell the program's identity from the dependency's).
std::string Attribute(const std::string& xml, const std::string& marker, const std::string& name)
{
    size_t at = xml.find(marker);
    if (at == std::string::npos)
        return "<no " + marker + ">";
    size_t start = xml.rfind('<', at);
    size_t end = xml.find('>', at);
    std::string element = xml.substr(start, end - start);
    size_t key = element.find(" " + name + "=\"");
    if (key == std::string::npos)
        return "<no " + name + ">";
    size_t value = key + name.size() + 3;
    return element.substr(value, element.find('"', value) - value);
}

WORD Subsystem(const std::string& path)
{
    bool ok = false;
    std::string bytes = testsupport::ReadFileBytes(path, &ok);
    if (!ok || bytes.size() < 0x40)
        return 0;
    DWORD peOffset = *reinterpret_cast<const DWORD*>(bytes.data() + 0x3c);
    // Signature (4) + file header (20) + optional header offset of Subsystem (68).
    size_t at = peOffset + 4 + 20 + 68;
    if (at + 2 > bytes.size())
        return 0;
    return *reinterpret_cast<const WORD*>(bytes.data() + at);
}

void CheckProgram(const char* arch, const char* manifestArch, const Program& program)
{
    std::string path = ProgramPath(arch, program);
    SCOPED_TRACE(path);
    ASSERT_TRUE(testsupport::FileExists(path));
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, Subsystem(path));

    std::string manifest = ReadManifest(path);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource";
    std::string self = std::string("name=\"") + program.identity + "\"";
    EXPECT_EQ(program.version, Attribute(manifest, self, "version"));
    EXPECT_EQ(manifestArch, Attribute(manifest, self, "processorArchitecture"));
    const std::string cc = "name=\"Microsoft.Windows.Common-Controls\"";
    EXPECT_EQ("6.0.0.0", Attribute(manifest, cc, "version"));
    EXPECT_EQ(manifestArch, Attribute(manifest, cc, "processorArchitecture"));
    if (program.file == kSetup.file) {
        EXPECT_NE(std::string::npos, manifest.find("<description>vantor setup</description>"));
    }
}

std::string VersionString(const std::vector<char>& block, const char* name)
{
    std::string query = std::string("\\StringFileInfo\\040904e4\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
        !value)
        return "<missing>";
    return std::string(value);
}

void CheckMdmprobeVersion(const char* arch)
{
    std::string path = ProgramPath(arch, kMdmprobe);
    SCOPED_TRACE(path);
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(1, 1), fixed->dwFileVersionMS);  // 1.1
    EXPECT_EQ(0u, fixed->dwFileVersionLS);                // .0.0
    EXPECT_EQ(MAKELONG(1, 1), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ("Modem Test Application", VersionString(block, "FileDescription"));
    EXPECT_EQ("Modem Test Application", VersionString(block, "ProductName"));
    EXPECT_EQ("1.1.0.0", VersionString(block, "FileVersion"));
    EXPECT_EQ("1.1.0.0", VersionString(block, "ProductVersion"));
}

TEST(ShippedPrograms, X64BuildCarriesManifestsAndVersion)
{
    CheckProgram("x64", "amd64", kMdmprobe);
    CheckProgram("x64", "amd64", kSetup);
    CheckMdmprobeVersion("x64");
}

TEST(ShippedPrograms, X86ReleaseBuildCarriesManifestsAndVersion)
{
    CheckProgram("x86", "x86", kMdmprobe);
    CheckProgram("x86", "x86", kSetup);
    CheckMdmprobeVersion("x86");
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: resources_test <dist folder (Unix path)>\n");
        return 2;
    }
    g_distRoot = UnixToWinPath(argv[1]);
    return RUN_ALL_TESTS();
}
