// The INI and registry entries of a section as read through the Setup API
// for the installation log: the lists of every key line in the order the
// Setup API carries them out, strings and directory ids substituted, an
// INI file without a folder in the Windows folder, and the lines it skips.
#include "ScriptFiles.h"
#include "SectionEntries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

TEST(SectionEntries, ReadInTheOrderTheSetupApiCarriesThemOut)
{
    HINF script = scripttest::OpenScript(
        "[Install]\r\n"
        "AddReg = Reg.A, Reg.B\r\n"
        "BitReg = Bits.A\r\n"
        "DelReg = Del.A\r\n"
        "UpdateInis = Ini.A\r\n"
        "AddReg = Reg.C\r\n"
        "[Reg.A]\r\n"
        "HKLM, \"Software\\Vantor\\%Sub%\", Path, 0, \"%10%\\Vantor\"\r\n"
        "hkcu, Software\\Vantor, Count, 0x00010001, 5\r\n"
        "HKR, Sub, Value, 0, x\r\n"
        "[Reg.B]\r\n"
        "HKCU, Software\\Vantor\\Key,, 0x10\r\n"
        "[Reg.C]\r\n"
        "HKU, .DEFAULT\\Software\\Vantor, List, 0x00010008, a, b\r\n"
        "[Del.A]\r\n"
        "HKCU, Software\\Vantor, Old\r\n"
        "HKCU, Software\\Vantor\\Gone\r\n"
        "HKCU, Software\\Vantor, Kept, 0x00010001\r\n"
        "HKCU, Software\\Vantor, Strings, 0x00018002, COM3\r\n"
        "[Ini.A]\r\n"
        "vantor.ini, Settings,, \"Port=COM3\"\r\n"
        "%10%\\other.ini, Main,, Speed\r\n"
        "broken.ini, Settings\r\n"
        "[Bits.A]\r\n"
        "HKCU, Software\\Vantor, Flags, 0, 1, 2\r\n"
        "[Strings]\r\n"
        "Sub = \"Modem Tools\"\r\n");
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    const std::string w = windows;
    const std::vector<std::string> expected = {
        "ini-write " + w + "\\vantor.ini  [Settings] Port",
        "ini-write " + w + "\\other.ini  [Main] Speed",
        "skip broken.ini  a line without file, section or new entry changes nothing",
        "delete-value HKCU\\Software\\Vantor  value Old",
        "delete-key HKCU\\Software\\Vantor\\Gone",
        "skip HKCU\\Software\\Vantor  a DelReg line with AddReg flags: the Setup API skips it",
        "delete-string HKCU\\Software\\Vantor  value Strings, string COM3",
        "set-value HKLM\\Software\\Vantor\\Modem Tools  value Path, REG_SZ",
        "set-value HKCU\\Software\\Vantor  value Count, REG_DWORD",
        "skip HKR\\Sub  HKR names no key here: setup.exe gives the Setup API no relative root",
        "create-key HKCU\\Software\\Vantor\\Key",
        "append-strings HKU\\.DEFAULT\\Software\\Vantor  value List, REG_MULTI_SZ",
        "skip Bits.A  setup.exe does not ask the Setup API for BitReg",
    };
    std::vector<std::string> read;
    for (const SectionEntry& entry : ReadSectionEntries(script, "Install")) {
        char detail[256];
        SectionEntryDetail(entry, detail, sizeof(detail));
        read.push_back(std::string(entry.action) + " " + entry.subject + (detail[0] ? "  " + std::string(detail) : ""));
    }
    EXPECT_EQ(expected, read);
    EXPECT_TRUE(ReadSectionEntries(script, "Missing").empty());
    SetupCloseInfFile(script);
}

}  // namespace
