// The start-up's text logic on the host: the command-line grammar and the
// language rules.
#include "SetupCommandLine.h"
#include "UiLanguageChoice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The product list with its entries joined by "|".
std::string Entries(const char* list)
{
    std::string entries;
    for (const char* p = list; *p; p += std::strlen(p) + 1)
        entries += std::string(entries.empty() ? "" : "|") + p;
    return entries;
}

SetupOptions Parse(const std::string& commandLine)
{
    SetupOptions options;
    options.wizardStyle = 1;  // as on a current common-controls library
    options.language = 1031;  // as chosen from the user's settings
    ParseSetupCommandLine(commandLine.c_str(), &options);
    return options;
}

TEST(SetupCommandLine, SwitchesAndTheirValues)
{
    const struct
    {
        const char* commandLine;
        int quiet;
        const char* quietText;
        int removeMode;
        const char* products;
        int rebootMode, style;
        unsigned short language;
    } cases[] = {
        {"", 0, "", 0, "", 1, 1, 1031},
        {"/QUIET", 1, "", 0, "", 1, 1, 1031},
        {"/quietly /silentx", 0, "", 0, "", 1, 1, 1031},
        {"/quiet:x", 1, "x", 0, "", 1, 1, 1031},
        {"/Silent:a,b  /debug:2 junk", 1, "a,b", 0, "", 1, 1, 1031},
        {"/quiet:a /silent", 1, "", 0, "", 1, 1, 1031},
        {"/reboot:", 0, "", 0, "", 0, 1, 1031},
        {"/REBOOT:2 /reboot:2x", 0, "", 0, "", 2, 1, 1031},
        {"/reboot:-1 /style:99999999999", 0, "", 0, "", -1, 2147483647, 1031},
        {"/style:0", 0, "", 0, "", 1, 0, 1031},
        {"/style:7", 0, "", 0, "", 1, 7, 1031},
        {"/install:abc /remove:def", 0, "", 1, "def", 1, 1, 1031},
        {"/remove:def\t/install:", 0, "", 0, "", 1, 1, 1031},
        {"/lang:spa", 0, "", 0, "", 1, 1, 10},
        {"/lang:pol", 0, "", 0, "", 1, 1, 1045},
        {"/LANG:English /lang:sp /lang:xyz", 0, "", 0, "", 1, 1, 1033},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        SetupOptions options = Parse(c.commandLine);
        EXPECT_EQ(c.quiet, options.quiet);
        EXPECT_STREQ(c.quietText, options.quietText);
        EXPECT_EQ(c.removeMode, options.removeMode);
        EXPECT_EQ(c.products, Entries(options.productList));
        EXPECT_EQ(c.rebootMode, options.rebootMode);
        EXPECT_EQ(c.style, options.wizardStyle);
        EXPECT_EQ(c.language, options.language);
    }
    const char* codes = "eng1033ger1031fre1036ita1040spa10dut1043pol1045fin1035dan1030nor1044por2070"
                        "tur1055rus1049cze1029";
    for (const char* p = codes; *p;) {
        std::string code(p, 3);
        char* end = nullptr;
        unsigned long language = std::strtoul(p + 3, &end, 10);
        EXPECT_EQ(language, Parse("/lang:" + code).language) << code;
        p = end;
    }
}

// Values are cut to their 1024-byte buffers: the quiet text keeps 1023
// characters, the product list's one entry 1022 (its terminator and the
// list's empty end entry need the last two bytes).
TEST(SetupCommandLine, LongValuesAreCutToTheirBuffers)
{
    for (size_t length : {1021u, 1022u, 1023u, 1024u, 5000u}) {
        std::string value(length, 'k');
        EXPECT_EQ(std::min<size_t>(length, 1023), std::strlen(Parse("/quiet:" + value).quietText));
        EXPECT_EQ(std::string(std::min<size_t>(length, 1022), 'k'), Entries(Parse("/remove:" + value).productList));
    }
}

TEST(UiLanguageChoice, ExactThenPrimaryLanguageThenEnglish)
{
    const unsigned short resources[] = {1033, 1031, 1036, 1040, 1043, 10};
    const std::pair<unsigned short, unsigned short> cases[] = {
        {1031, 1031}, {2055, 1031}, {1041, 1033}, {3082, 10}, {1034, 10}, {2067, 1043}, {1045, 1033},
    };
    for (const auto& [user, chosen] : cases)
        EXPECT_EQ(chosen, ChooseUiLanguage(user, resources, 6)) << user;
    const unsigned short swiss[] = {1033, 2055, 1031};
    EXPECT_EQ(1031, ChooseUiLanguage(1031, swiss, 3)) << "an exact match beats an earlier primary match";
    EXPECT_EQ(2055, ChooseUiLanguage(3079, swiss, 3)) << "the first with the primary language";

    const std::pair<const char*, int> texts[] = {
        {"00000407", 0x407}, {" 0x411", 0x411}, {"1000c0a", 0xc0a}, {"40Cjunk", 0x40c}, {"", -1}, {"xyz", -1},
    };
    for (const auto& [text, expected] : texts) {
        unsigned short language = 0;
        EXPECT_EQ(expected >= 0, ParseLanguageText(text, &language) != 0) << text;
        EXPECT_EQ(expected >= 0 ? expected : 0, language) << text;
    }
}

}  // namespace
