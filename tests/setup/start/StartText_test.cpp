// The start-up's text logic on the host: the command-line grammar, the
// language rules and the exit codes.
#include "ExitCodes.h"
#include "SetupCommandLine.h"
#include "UiLanguageChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The product list as its entries.
std::vector<std::string> Entries(const char* list)
{
    std::vector<std::string> entries;
    for (const char* p = list; *p; p += entries.back().size() + 1)
        entries.emplace_back(p);
    return entries;
}

SetupOptions Parse(const std::string& commandLine)
{
    SetupOptions options;
    options.wizardStyle = 1;      // as on a current common-controls library
    options.language = 1031;      // as chosen from the user's settings
    ParseSetupCommandLine(commandLine.c_str(), &options);
    return options;
}

TEST(SetupCommandLine, SwitchesAndTheirValues)
{
    struct Case
    {
        const char* commandLine;
        int quiet;
        const char* quietText;
        int removeMode;
        std::vector<std::string> products;
        int rebootMode;
        int style;
        unsigned short language;
    };
    const Case cases[] = {
        {"", 0, "", 0, {}, 1, 1, 1031},
        {"/QUIET", 1, "", 0, {}, 1, 1, 1031},
        {"/quietly", 0, "", 0, {}, 1, 1, 1031},
        {"/quiet:x", 1, "x", 0, {}, 1, 1, 1031},
        {"/Silent:a,b  /debug:2 junk", 1, "a,b", 0, {}, 1, 1, 1031},
        {"/quiet:a /silent", 1, "", 0, {}, 1, 1, 1031},
        {"/silentx", 0, "", 0, {}, 1, 1, 1031},
        {"/reboot:", 0, "", 0, {}, 0, 1, 1031},
        {"/reboot:2x /reboot:x", 0, "", 0, {}, 0, 1, 1031},
        {"/REBOOT:2", 0, "", 0, {}, 2, 1, 1031},
        {"/reboot:-1 /style:99999999999", 0, "", 0, {}, -1, 2147483647, 1031},
        {"/style:0", 0, "", 0, {}, 1, 0, 1031},
        {"/style:7", 0, "", 0, {}, 1, 7, 1031},
        {"/remove:abc", 0, "", 1, {"abc"}, 1, 1, 1031},
        {"/install:abc /remove:def", 0, "", 1, {"def"}, 1, 1, 1031},
        {"/remove:def\t/install:", 0, "", 0, {}, 1, 1, 1031},
        {"/lang:spa", 0, "", 0, {}, 1, 1, 10},
        {"/lang:pol", 0, "", 0, {}, 1, 1, 1045},
        {"/LANG:English", 0, "", 0, {}, 1, 1, 1033},
        {"/lang:sp /lang:xyz", 0, "", 0, {}, 1, 1, 1031},
        {"/lang:por /lang:cze", 0, "", 0, {}, 1, 1, 1029},
    };
    for (const Case& c : cases) {
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
}

TEST(SetupCommandLine, FourteenLanguageCodes)
{
    const std::pair<const char*, unsigned short> codes[] = {
        {"eng", 1033}, {"ger", 1031}, {"fre", 1036}, {"ita", 1040}, {"spa", 10},   {"dut", 1043}, {"pol", 1045},
        {"fin", 1035}, {"dan", 1030}, {"nor", 1044}, {"por", 2070}, {"tur", 1055}, {"rus", 1049}, {"cze", 1029},
    };
    for (const auto& [code, language] : codes)
        EXPECT_EQ(language, Parse(std::string("/lang:") + code).language) << code;
}

// Values are cut to their 1024-byte buffers: the quiet text keeps 1023
// characters, the product list's one entry 1022 (its terminator and the
// list's empty end entry need the last two bytes).
TEST(SetupCommandLine, LongValuesAreCutToTheirBuffers)
{
    for (size_t length : {1021u, 1022u, 1023u, 1024u, 5000u}) {
        std::string value(length, 'k');
        SetupOptions quiet = Parse("/quiet:" + value);
        EXPECT_EQ(std::min<size_t>(length, 1023), std::string(quiet.quietText).size());
        SetupOptions remove = Parse("/remove:" + value);
        std::vector<std::string> products = Entries(remove.productList);
        ASSERT_EQ(1u, products.size());
        EXPECT_EQ(std::min<size_t>(length, 1022), products[0].size());
    }
}

TEST(UiLanguageChoice, ExactThenPrimaryLanguageThenEnglish)
{
    const unsigned short resources[] = {1033, 1031, 1036, 1040, 1043, 10};
    const std::pair<unsigned short, unsigned short> cases[] = {
        {1031, 1031}, {2055, 1031}, {3079, 1031}, {1041, 1033}, {3082, 10}, {1034, 10},
        {2057, 1033}, {2067, 1043}, {1045, 1033}, {0, 1033},
    };
    for (const auto& [user, chosen] : cases)
        EXPECT_EQ(chosen, ChooseUiLanguage(user, resources, 6)) << user;
    const unsigned short swiss[] = {1033, 2055, 1031};
    EXPECT_EQ(1031, ChooseUiLanguage(1031, swiss, 3)) << "an exact match beats an earlier primary match";
    EXPECT_EQ(2055, ChooseUiLanguage(3079, swiss, 3)) << "the first with the primary language";
    EXPECT_EQ(1033, ChooseUiLanguage(1031, nullptr, 0));
}

TEST(UiLanguageChoice, RegistryTextIsHexadecimal)
{
    const std::pair<const char*, int> cases[] = {
        {"00000407", 0x407}, {"0807", 0x807}, {" 0x411", 0x411}, {"1000c0a", 0xc0a}, {"40Cjunk", 0x40c},
        {"", -1}, {"xyz", -1}, {"0x", 0},
    };
    for (const auto& [text, expected] : cases) {
        unsigned short language = 0xbeef;
        int ok = ParseLanguageText(text, &language);
        EXPECT_EQ(expected >= 0, ok != 0) << text;
        if (expected >= 0) {
            EXPECT_EQ(expected, language) << text;
        }
    }
}

TEST(ExitCodes, OutcomeRestartAndFailureCombine)
{
    using O = RunOutcome;
    EXPECT_EQ(0, ExitCodeOf(O::Finished, false, false));
    EXPECT_EQ(3010, ExitCodeOf(O::Finished, true, false));
    EXPECT_EQ(1641, ExitCodeOf(O::Finished, true, true));
    EXPECT_EQ(1602, ExitCodeOf(O::Cancelled, false, false));
    EXPECT_EQ(1602, ExitCodeOf(O::Cancelled, true, false));
    EXPECT_EQ(1603, ExitCodeOf(O::Failed, true, false));
    EXPECT_EQ(1641, ExitCodeOf(O::Failed, true, true));
}

}  // namespace
