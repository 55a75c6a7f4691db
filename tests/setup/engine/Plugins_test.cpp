// Collection, pages and conditions with the test plug-ins under Wine: the
// calls each library receives, in order, and what the program keeps.
#include "ComponentList.h"
#include "Conditions.h"
#include "MessageBoxes.h"
#include "PluginFixture.h"
#include "PluginInterface.h"
#include "PluginLists.h"
#include "Products.h"

#include <atomic>
#include <cstring>

namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The calls of a listing that passed the version gate, pages left out.
Lines Listing(const std::string& library, const std::string& flag, const std::string& parameter, int steps)
{
    Lines calls = {library + "|GetVersionNumber", library + "|QueryPlugin|" + flag + "|" + parameter,
                   library + "|QueryPluginSteps|" + parameter};
    for (int index = 0; index < steps; ++index)
        calls.push_back(library + "|GetPluginStep|" + std::to_string(index) + "|" + parameter);
    return calls;
}

// "<parameter> selected=<flag>" of each step that ran, levels in run order.
Lines StepsRun()
{
    PluginFixture::ClearCalls();
    std::atomic<int> reboot{0};
    for (int level : {0, 1, 2, 4, 3, 5})
        RunPluginSteps(level, nullptr, nullptr, nullptr, 1, "C:\\target", &reboot);
    Lines steps;
    for (const std::string& call : PluginFixture::Calls("|TestStep|")) {
        const size_t start = call.find("|TestStep|") + 10;
        steps.push_back(call.substr(start, call.find('|', start) - start) + " " + call.substr(call.rfind('|') + 1));
    }
    return steps;
}

using Collection = PluginFixture;

TEST_F(Collection, ListingsLibrariesVersionsAndFlags)
{
    const std::string x = "x;step=0/10;pages=3/2", y = "y;step=5/20;pages=3/1;pages=8/1";
    const std::string lite = "lite;step=1/5;pages=4/1", modem = "modem;step=2/0";
    const std::string longer = "long;step=4/1;" + std::string(400, 'p');  // beyond 259 characters
    ASSERT_NE(INVALID_HANDLE_VALUE,
              OpenScript("[Install]\r\nPlugins = \"testplugin.dll:" + x + "\", \"testplugin.dll:" + y +
                         "\", testplugin_v2.dll:v2, testplugin_v-1.dll:vm1, \"liteplugin.dll:" + lite + "\"\r\n"
                         "[Remove]\r\nPlugins = \"testplugin.dll:" + longer + "\"\r\n"
                         "[Products]\r\nmodem = Modem, Modem.Install, Modem.Remove, 3\r\n"
                         "tools = Tools, Tools.Install, Tools.Remove, 2\r\n"
                         "[Modem.Install]\r\nPlugins = \"testplugin.dll:" + modem + "\"\r\n"
                         "[Tools.Install]\r\nPlugins = testplugin.dll:tools\r\n"
                         "[Modem.Remove]\r\nPlugins = testplugin.dll:modemremove\r\n"
                         "[Tools.Remove]\r\nPlugins = \"testplugin.dll:toolsremove;step=4/1\"\r\n"));
    ComponentListClear();
    ComponentListAdd("modem", 1);
    ComponentListAdd("tools", 1);  // not offered (flags 2): never collected for an installation

    // One load per library and a round of questions per listing; version 2
    // stops after the version, -1 passes (signed); pages at every level.
    CollectPlugins(script_, "Install", "Remove", "Products", 0);
    Lines expectedPages;
    for (const std::string& listing : Lines{"testplugin.dll|" + x, "testplugin.dll|" + y, "testplugin_v-1.dll|vm1",
                                            "liteplugin.dll|" + lite, "testplugin.dll|" + modem}) {
        for (int level = 0; level <= 9; ++level) {
            expectedPages.push_back(listing.substr(0, listing.find('|')) + "|QueryPluginPages|" +
                                    std::to_string(level) + listing.substr(listing.find('|')));
        }
    }
    EXPECT_EQ(expectedPages, Calls("|QueryPluginPages|"));
    Lines calls;
    for (const std::string& call : Calls()) {
        if (call.find("|QueryPluginPages|") == std::string::npos)
            calls.push_back(call);
    }
    EXPECT_EQ((Lines{"testplugin.dll|attach"} + Listing("testplugin.dll", "1", x, 1) +
                  Listing("testplugin.dll", "1", y, 1) +
                  Lines{"testplugin_v2.dll|attach", "testplugin_v2.dll|GetVersionNumber", "testplugin_v-1.dll|attach"} +
                  Listing("testplugin_v-1.dll", "1", "vm1", 0) + Lines{"liteplugin.dll|attach"} +
                  Listing("liteplugin.dll", "1", lite, 0) + Listing("testplugin.dll", "1", modem, 1)),
              calls);
    // Both listings' pages and steps; none of liteplugin, which announces
    // them without GetPluginPages and GetPluginStep. The product's listing
    // reads the product's flag through the pointer it was given.
    const int counts[10] = {0, 0, 0, 3, 0, 0, 0, 0, 1, 0};
    for (int level = 0; level <= 9; ++level)
        EXPECT_EQ(counts[level], PluginPageCount(level)) << "level " << level;
    ComponentListSetSelected(0, 0);
    EXPECT_EQ(4u, PluginLibraries().size()) << "one record per library path";
    EXPECT_EQ((Lines{x + " selected=1", modem + " selected=0", y + " selected=1"}), StepsRun());

    // Removal: the libraries of the first collection are unloaded; every
    // product's remove section, with its own flag. The parameter text is
    // cut at collection and whole for the step.
    ClearCalls();
    CollectPlugins(script_, "Install", "Remove", "Products", 1);
    EXPECT_EQ((Lines{"testplugin.dll|detach", "testplugin_v2.dll|detach", "testplugin_v-1.dll|detach",
                     "liteplugin.dll|detach", "testplugin.dll|attach"}),
              Calls("tach"));
    EXPECT_EQ((Lines{"testplugin.dll|QueryPlugin|1|" + longer.substr(0, 259 - 15),
                     "testplugin.dll|QueryPlugin|0|modemremove", "testplugin.dll|QueryPlugin|1|toolsremove;step=4/1"}),
              Calls("|QueryPlugin|"));
    ComponentListSetSelected(1, 0);
    EXPECT_EQ((Lines{longer + " selected=1", "toolsremove;step=4/1 selected=0"}), StepsRun());
}

// Each listing writes its records where the one before it stopped, in the
// record size of the look, and nothing behind them.
TEST_F(Collection, PagesFilledInBothLooks)
{
    ASSERT_NE(INVALID_HANDLE_VALUE,
              OpenScript("[Install]\r\nPlugins = \"testplugin.dll:x;pages=3/2\", \"liteplugin.dll:l;pages=3/4\","
                         " \"testplugin.dll:y;pages=3/1;pages=6/1\"\r\n"));
    ComponentListClear();
    CollectPlugins(script_, "Install", "Remove", "Products", 0);
    ASSERT_EQ(3, PluginPageCount(3));
    LPARAM serial = 0;
    for (int wizard97 : {1, 0}) {
        const size_t size = PluginPageRecordSize(wizard97);
        EXPECT_EQ(wizard97 ? sizeof(PROPSHEETPAGEA_V2) : sizeof(PROPSHEETPAGEA_V1), size);
        std::vector<unsigned char> records(4 * size, 0xEE);
        ClearCalls();
        EXPECT_EQ(records.data() + 3 * size, FillPluginPages(3, records.data(), wizard97));
        const std::string call = "testplugin.dll|GetPluginPages|3|" + std::to_string(wizard97) + "|";
        EXPECT_EQ((Lines{call + "x;pages=3/2", call + "y;pages=3/1;pages=6/1"}), Calls());
        for (size_t page = 0; page < 3; ++page) {
            PluginPageClassic record;
            std::memcpy(&record, records.data() + page * size, sizeof(record));
            EXPECT_EQ(size, record.dwSize);
            EXPECT_EQ(GetModuleHandleA("testplugin.dll"), record.hInstance);
            EXPECT_EQ(++serial, record.lParam);
        }
        EXPECT_EQ(std::vector<unsigned char>(size, 0xEE), std::vector<unsigned char>(records.end() - size, records.end()));
    }
}

std::vector<std::string> g_boxes;  // "caption|text"

int RecordBox(HWND, const char* text, const char* caption, UINT)
{
    g_boxes.push_back(std::string(caption) + "|" + text);
    return IDOK;
}

using Conditions = PluginFixture;

// Each line loads its library for the call and unloads it; the first
// failing line ends the check with its library's text.
TEST_F(Conditions, SectionsLinesAndFailureTexts)
{
    ASSERT_NE(INVALID_HANDLE_VALUE,
              OpenScript("[NoKey]\r\nx = 1\r\n[Met]\r\nConditions = PassA, PassB\r\n"
                         "[Missing]\r\nConditions = PassA, Nowhere, PassB\r\n"
                         "[Fails]\r\nConditions = PassA, FailFull, PassB\r\n[FailsLite]\r\nConditions = FailLite\r\n"
                         "[NoExport]\r\nConditions = NoExport\r\n[Refused]\r\nConditions = V2\r\n"
                         "[NoVersion]\r\nConditions = NoVer\r\n[NoLibrary]\r\nConditions = NoLib\r\n"
                         "[Unterminated]\r\nConditions = Unterm\r\n"
                         "[PassA]\r\ntestplugin.dll, ConditionMet\r\n"
                         "[PassB]\r\ntestplugin.dll, ConditionMet\r\nliteplugin.dll, ConditionMet\r\n"
                         "[FailFull]\r\ntestplugin.dll, ConditionFails\r\ntestplugin.dll, ConditionMet\r\n"
                         "[FailLite]\r\nliteplugin.dll, ConditionFails\r\n[NoExport]\r\ntestplugin.dll, Nothing\r\n"
                         "[V2]\r\ntestplugin_v2.dll, ConditionMet\r\n[NoVer]\r\nnoversionplugin.dll, ConditionMet\r\n"
                         "[NoLib]\r\nmissing.dll, ConditionMet\r\n"
                         "[Unterm]\r\ntestplugin.dll, ConditionFailsUnterminated\r\n"
                         "[Products]\r\nok = Ok, Met,, 1\r\nbad = Bad, Fails,, 1\r\n"
                         "[Products.None]\r\nbad = Bad, Fails,, 1\r\n"));
    const Lines passA = {"testplugin.dll|attach", "testplugin.dll|GetVersionNumber", "testplugin.dll|ConditionMet",
                         "testplugin.dll|detach"};
    const std::string failed = "The condition of testplugin.dll is not met.";
    const struct
    {
        const char* section;
        int met;
        std::string text;
        Lines calls;  // empty: not checked
    } cases[] = {
        {"NoKey", 1, "", {}},
        {"Met", 1, "", passA + passA + Lines{"liteplugin.dll|attach", "liteplugin.dll|GetVersionNumber",
                                            "liteplugin.dll|ConditionMet", "liteplugin.dll|detach"}},
        {"Missing", 0, "", passA},
        {"Fails", 0, failed, passA + Lines{"testplugin.dll|attach", "testplugin.dll|GetVersionNumber",
                                           "testplugin.dll|ConditionFails", "testplugin.dll|GetLastFailMessage",
                                           "testplugin.dll|detach"}},
        {"FailsLite", 0, "", {}},
        {"NoExport", 0, "", {}},
        {"Refused", 0, "", {"testplugin_v2.dll|attach", "testplugin_v2.dll|GetVersionNumber", "testplugin_v2.dll|detach"}},
        {"NoVersion", 0, "", {"noversionplugin.dll|attach", "noversionplugin.dll|detach"}},
        {"NoLibrary", 0, "", {}},
        {"Unterminated", 0, std::string(kFailureTextSize - 1, 'u'), {}},
    };
    for (const auto& row : cases) {
        ClearCalls();
        char text[kFailureTextSize];
        std::memset(text, 'z', sizeof(text));
        EXPECT_EQ(row.met, CheckConditions(script_, row.section, text)) << row.section;
        EXPECT_EQ(row.text, std::string(text)) << row.section;
        if (!row.calls.empty()) {
            EXPECT_EQ(row.calls, Calls()) << row.section;
        }
        EXPECT_EQ(Calls("attach").size(), Calls("detach").size()) << row.section << ": every library unloaded";
    }

    // As the products' condition check: the failing product is not offered,
    // and when none is left its library's text is shown.
    const MessageBoxHook previousBox = SetMessageBoxHook(RecordBox);
    const ConditionsHook previous = SetConditionsHook(CheckConditions);
    EXPECT_EQ(1, ReadProducts(script_, nullptr, GetModuleHandleA(nullptr), "Products", 0));
    EXPECT_STREQ("ok", ComponentListName(0));
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(0, ReadProducts(script_, nullptr, GetModuleHandleA(nullptr), "Products.None", 0));
    EXPECT_EQ(Lines{"The installation cannot be executed|" + failed}, g_boxes);
    SetConditionsHook(previous);
    SetMessageBoxHook(previousBox);
}

}  // namespace
