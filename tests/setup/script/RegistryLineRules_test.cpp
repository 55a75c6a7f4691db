// Host tests of what the Setup API does with an AddReg or DelReg line: the
// change its flags ask for, the value type, and the lines it skips. The
// installation log and setup-lint's plan both name lines by these rules.
#include "RegistryLineRules.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

TEST(RegistryLineRules, ChangeAndTypeByFlags)
{
    struct Case
    {
        const char* root;
        const char* value;
        uint32_t flags;
        bool delReg;
        RegistryChange change;
        uint32_t type;
    };
    using C = RegistryChange;
    const Case cases[] = {
        {"HKLM", "Path", 0x00000000, false, C::SetValue, 1},       // REG_SZ
        {"hklm", "", 0x00020000, false, C::SetValue, 2},           // REG_EXPAND_SZ, any case of the root
        {"HKCU", "N", 0x00010001, false, C::SetValue, 4},          // REG_DWORD
        {"HKCU", "B", 0x00000001, false, C::SetValue, 3},          // REG_BINARY
        {"HKCU", "M", 0x00010000, false, C::SetValue, 7},          // REG_MULTI_SZ
        {"HKCU", "X", 0x00020001, false, C::SetValue, 0},          // REG_NONE
        {"HKCU", "T", 0x00050001, false, C::SetValue, 5},          // a type number of its own in the high word
        {"HKCU", "M", 0x00010008, false, C::AppendStrings, 7},
        {"HKCU", "S", 0x00000008, false, C::SetValue, 1},          // appending needs a multi-string
        {"HKCR", "", 0x00000010, false, C::CreateKey, 0},
        {"HKU", "V", 0x00002000, false, C::CreateKey, 0},
        {"HKLM", "V", 0x00000004, false, C::DeleteValue, 0},       // an AddReg line may delete too
        {"HKLM", "", 0x00000004, false, C::DeleteKey, 0},
        {"HKLM", "V", 0x00000000, true, C::DeleteValue, 0},        // DelReg without flags
        {"HKLM", "", 0x00000000, true, C::DeleteKey, 0},
        {"HKLM", "V", 0x00002000 | 0x8000, true, C::DeleteKey, 0}, // the key, though a value is named
        {"HKLM", "M", 0x00018002, true, C::DeleteString, 0},
    };
    for (const Case& c : cases) {
        const RegistryLine line = ReadRegistryLine(c.root, c.value, c.flags, c.delReg);
        SCOPED_TRACE(std::string(c.root) + " " + c.value + " " + std::to_string(c.flags) + (c.delReg ? " DelReg" : ""));
        EXPECT_EQ(c.change, line.change);
        EXPECT_EQ(RegistrySkip::None, line.skip);
        EXPECT_EQ(c.type, line.type);
        ASSERT_NE(nullptr, line.root);
        std::string root = c.root;
        for (char& ch : root) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(root, line.root);
    }
    EXPECT_TRUE(ReadRegistryLine("HKLM", "V", 0x2, false).onlyWhenMissing);
    EXPECT_TRUE(ReadRegistryLine("HKLM", "V", 0x20, false).onlyWhenPresent);
    EXPECT_TRUE(ReadRegistryLine("HKLM", "", 0x30, false).onlyWhenPresent);
}

TEST(RegistryLineRules, SkippedLines)
{
    struct Case { const char* root; uint32_t flags; bool delReg; RegistrySkip skip; };
    const Case cases[] = {
        {"HKR", 0, false, RegistrySkip::RelativeRoot},
        {"HKEY_LOCAL_MACHINE", 0, false, RegistrySkip::UnknownRoot},
        {"HKLMX", 0, true, RegistrySkip::UnknownRoot},
        {"", 0, false, RegistrySkip::UnknownRoot},
        {"HKLM", 0x00010001, true, RegistrySkip::AddRegFlagsInDelReg},  // an AddReg line's flags in DelReg
        {"HKLM", 0x00008000, false, RegistrySkip::DeletionBitInAddReg},
    };
    for (const Case& c : cases) {
        const RegistryLine line = ReadRegistryLine(c.root, "V", c.flags, c.delReg);
        EXPECT_EQ(RegistryChange::Skip, line.change) << c.root << " " << c.flags;
        EXPECT_EQ(c.skip, line.skip) << c.root << " " << c.flags;
        EXPECT_STREQ("skip", RegistryChangeName(line.change));
    }
}

TEST(RegistryLineRules, TypeNamesOfOtherNumbersAndCut)
{
    char name[16];
    EXPECT_STREQ("type 5", RegistryTypeName(5, name, sizeof name));  // no name between REG_DWORD and REG_MULTI_SZ
    EXPECT_STREQ("type 65535", RegistryTypeName(65535, name, sizeof name));
    char small[7];
    EXPECT_STREQ("REG_SZ", RegistryTypeName(1, small, sizeof small));  // exactly fits
    EXPECT_STREQ("REG_DW", RegistryTypeName(4, small, sizeof small));  // cut, terminated
}

}  // namespace
