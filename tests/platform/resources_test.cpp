// Reads the shipped programs of both Windows builds back as files and checks
// what Windows relies on: GUI subsystem, the application manifest (identity,
// architecture, Common-Controls 6 dependency) and the version resource; and
// that every string, dialog and data text named in a program's resource
// header, and every string the program holds, exists in all six languages,
// while its bitmaps and icons exist once, language-neutral.
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using testsupport::UnixToWinPath;

namespace {

std::string g_distRoot;       // Windows path of dist/, from the command line
std::string g_mdmprobeHeader;  // Windows paths of the programs' resource headers
std::string g_setupHeader;

struct Program
{
    const char* file;
    const char* identity;
    const char* version;
    const char* executionLevel;  // requested in the manifest's trust information
};

// The installer asks for administrator rights itself (Windows would guess so
// only for 32-bit programs named like installers); the modem test never does.
const Program kMdmprobe = {"mdmprobe.exe", "vantor.mdmprobe", "1.1.0.0", "asInvoker"};
const Program kSetup = {"setup.exe", "vantor.setup", "1.0.0.0", "requireAdministrator"};

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
    EXPECT_EQ(program.executionLevel, Attribute(manifest, "<requestedExecutionLevel ", "level"));
    EXPECT_EQ("false", Attribute(manifest, "<requestedExecutionLevel ", "uiAccess"));
    EXPECT_NE(std::string::npos, manifest.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">"));
    // A compatibility section would change the Windows version the programs
    // read, and with it the script sections setup chooses.
    EXPECT_EQ(std::string::npos, manifest.find("supportedOS"));
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

// ---- Languages ---------------------------------------------------------------

const LANGID kLanguages[] = {
    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
    MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),      MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),
    MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH),        MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL),
};
const LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// "#define IDS_NAME 123" lines of a resource header whose names start with
// `prefix`, as name -> id.
std::map<std::string, UINT> HeaderIds(const std::string& header, const std::string& prefix)
{
    std::map<std::string, UINT> ids;
    std::istringstream lines(testsupport::ReadFileBytes(header));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string define, name, value;
        words >> define >> name >> value;
        if (define == "#define" && name.compare(0, prefix.size(), prefix) == 0 && !value.empty())
            ids[name] = static_cast<UINT>(std::strtoul(value.c_str(), nullptr, 0));
    }
    return ids;
}

// The sixteen strings of string block `block` in `language` (empty when the
// block is missing).
std::vector<std::wstring> StringBlock(HMODULE module, UINT block, LANGID language)
{
    std::vector<std::wstring> strings;
    HRSRC info = FindResourceExA(module, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(block), language);
    if (!info)
        return strings;
    auto* entry = static_cast<const WORD*>(LockResource(LoadResource(module, info)));
    for (int i = 0; i < 16 && entry; ++i) {
        strings.emplace_back(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
        entry += 1 + *entry;
    }
    return strings;
}

std::wstring StringText(HMODULE module, UINT id, LANGID language)
{
    std::vector<std::wstring> block = StringBlock(module, id / 16 + 1, language);
    return block.empty() ? std::wstring() : block[id % 16];
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(param)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<LANGID>*>(param)->push_back(language);
    return TRUE;
}

std::vector<LANGID> LanguagesOf(HMODULE module, LPCSTR type, UINT id)
{
    std::vector<LANGID> languages;
    EnumResourceLanguagesA(module, type, MAKEINTRESOURCEA(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Dialog `id` of `language` becomes a window (its controls' classes exist).
bool DialogLoads(HMODULE module, UINT id, LANGID language)
{
    HRSRC info = FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id), language);
    auto* dialog = info ? static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(module, info))) : nullptr;
    if (!dialog)
        return false;
    // The pages are child dialogs: a hidden parent holds them.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND window = CreateDialogIndirectParamA(module, dialog, parent, EmptyDialogProc, 0);
    DestroyWindow(parent);
    return window != nullptr;
}

void CheckLanguages(const char* arch, const Program& program, const std::string& header)
{
    std::string path = ProgramPath(arch, program);
    SCOPED_TRACE(path);
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);

    const std::map<std::string, UINT> strings = HeaderIds(header, "IDS_");
    EXPECT_FALSE(strings.empty()) << "no strings in " << header;
    for (LANGID language : kLanguages) {
        for (const auto& [name, id] : strings)
            EXPECT_FALSE(StringText(module, id, language).empty())
                << name << " (" << id << ") language " << std::hex << language;
        for (const auto& [name, id] : HeaderIds(header, "IDD_")) {
            EXPECT_NE(nullptr, FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id), language))
                << name << " (" << id << ") language " << std::hex << language;
            EXPECT_TRUE(DialogLoads(module, id, language)) << name << " language " << std::hex << language;
        }
        // Texts kept as data (the licence).
        for (const auto& [name, id] : HeaderIds(header, "IDR_"))
            EXPECT_NE(nullptr, FindResourceExA(module, RT_RCDATA, MAKEINTRESOURCEA(id), language))
                << name << " (" << id << ") language " << std::hex << language;
    }

    // Every string the program holds, in whatever language, exists in all six.
    std::vector<UINT> blocks;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(6), CollectName, reinterpret_cast<LONG_PTR>(&blocks));
    EXPECT_FALSE(blocks.empty());
    for (UINT block : blocks) {
        for (LANGID language : LanguagesOf(module, MAKEINTRESOURCEA(6), block)) {
            std::vector<std::wstring> texts = StringBlock(module, block, language);
            for (size_t i = 0; i < texts.size(); ++i) {
                if (texts[i].empty())
                    continue;
                UINT id = (block - 1) * 16 + static_cast<UINT>(i);
                for (LANGID other : kLanguages)
                    EXPECT_FALSE(StringText(module, id, other).empty())
                        << "string " << id << " exists in " << std::hex << language << " but not in " << other;
            }
        }
    }

    // Pictures exist once, language-neutral.
    for (const auto& [prefix, type] : {std::make_pair("IDB_", RT_BITMAP), std::make_pair("IDI_", RT_GROUP_ICON)}) {
        for (const auto& [name, id] : HeaderIds(header, prefix)) {
            std::vector<LANGID> languages = LanguagesOf(module, type, id);
            EXPECT_EQ(std::vector<LANGID>{kNeutral}, languages) << name << " (" << id << ")";
        }
    }
    FreeLibrary(module);
}

TEST(ProgramLanguages, EveryStringAndDialogExistsInAllSixLanguages)
{
    for (const char* arch : {"x64", "x86"}) {
        CheckLanguages(arch, kMdmprobe, g_mdmprobeHeader);
        CheckLanguages(arch, kSetup, g_setupHeader);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        fprintf(stderr, "usage: resources_test <dist folder> <mdmprobe resource.h> <setup resource.h> "
                        "(Unix paths)\n");
        return 2;
    }
    g_distRoot = UnixToWinPath(argv[1]);
    g_mdmprobeHeader = UnixToWinPath(argv[2]);
    g_setupHeader = UnixToWinPath(argv[3]);
    // The control classes the programs' dialogs use (setup's licence page
    // has a rich-edit box, its ready page a progress bar).
    InitCommonControls();
    LoadLibraryA("riched32.dll");
    return RUN_ALL_TESTS();
}
