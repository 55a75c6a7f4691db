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

// The deployment switches: quoted paths in both forms, strict values, and
// the tokens nobody reads, listed for the log.
TEST(SetupCommandLine, DeploymentSwitches)
{
    SetupOptions quoted = Parse("/quiet /TARGET:\"D:\\Apps\\Vantor Tools\" \"/log:C:\\my logs\\run 1.log\" /x");
    EXPECT_EQ(1, quoted.quiet);
    EXPECT_TRUE(quoted.targetGiven);
    EXPECT_STREQ("D:\\Apps\\Vantor Tools", quoted.target);
    EXPECT_STREQ("C:\\my logs\\run 1.log", quoted.logPath);
    EXPECT_EQ("/x", Entries(quoted.ignored));
    EXPECT_STREQ("", quoted.badSwitch);

    SetupOptions plain = Parse("\"/target:C:\\A B\"\t/target:E:\\Tools /newer:KEEP /startapp:0");
    EXPECT_STREQ("E:\\Tools", plain.target);  // the last one counts, as for every switch
    EXPECT_EQ(NewerAnswer::Keep, plain.newer);
    EXPECT_EQ(0, plain.startApp);
    EXPECT_FALSE(plain.help);
    EXPECT_EQ(NewerAnswer::Replace, Parse("/newer:replace").newer);
    EXPECT_EQ(1, Parse("/startapp:0 /startapp:1").startApp);

    // What administrators bring from other installers is ignored and named;
    // the debug log's own option and quoted texts of other switches are not
    // ours to judge.
    SetupOptions other = Parse("/S /qn /VERYSILENT /debug:3,\"x.log\" -debug /quiet \"/quiet\"");
    EXPECT_EQ("/S|/qn|/VERYSILENT|\"/quiet\"", Entries(other.ignored));
    EXPECT_TRUE(Parse("/?").help);
    EXPECT_TRUE(Parse("/quiet /HELP").help);
    EXPECT_FALSE(Parse("/helpme").help);

    const struct
    {
        const char* commandLine;
        const char* badSwitch;
    } bad[] = {
        {"/target:\"C:\\open", "/target:"},
        {"\"/log:C:\\a b", "/log:"},
        {"/target:\"C:\\a\"b", "/target:"},
        {"/log:", "/log:"},
        {"/log:\"\"", "/log:"},
        {"/newer:yes", "/newer:"},
        {"/newer:", "/newer:"},
        {"/startapp:2 /newer:no", "/startapp:"},  // the first one is named
        {"/startapp:01", "/startapp:"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.commandLine);
        SetupOptions options = Parse(c.commandLine);
        EXPECT_STREQ(c.badSwitch, options.badSwitch);
        EXPECT_STRNE("", options.badReason);
    }
    // A path that does not fit is refused, never cut.
    const std::string longPath = "C:\\" + std::string(256, 'x');
    EXPECT_STREQ("", Parse("/target:" + longPath).badSwitch);
    SetupOptions tooLong = Parse("/target:\"" + longPath + "x\" /quiet");
    EXPECT_STREQ("/target:", tooLong.badSwitch);
    EXPECT_STREQ("", tooLong.target);
    EXPECT_EQ(1, tooLong.quiet);  // the token after it is still read
    // An empty /target: is left for the target rules to refuse.
    SetupOptions empty = Parse("/target:");
    EXPECT_TRUE(empty.targetGiven);
    EXPECT_STREQ("", empty.badSwitch);

    // The ignored list never overflows its buffer; what does not fit is left out.
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += " /unknown" + std::to_string(i);
    SetupOptions full = Parse(many);
    EXPECT_EQ(0u, Entries(full.ignored).find("/unknown0|/unknown1|"));
    EXPECT_LT(Entries(full.ignored).size(), static_cast<size_t>(kIgnoredSize));
}
