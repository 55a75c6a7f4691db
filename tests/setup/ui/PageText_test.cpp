// The wizard's page order and jump indexes for plug-in pages at the ten
// levels, and the text rules of the component and target-directory pages.
#include "ComponentList.h"
#include "PageRules.h"
#include "WizardLayout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// The sheet as a sequence: "L<level>x<pages>" for plug-in pages, the
// built-in pages by initial (W L C T R F X Y).
std::string Sequence(const WizardLayout& layout)
{
    std::string text;
    for (int i = 0; i < layout.slotCount; ++i) {
        const WizardSlot& slot = layout.slots[i];
        text += slot.level >= 0 ? "L" + std::to_string(slot.level) + "x" + std::to_string(slot.pages)
                                : std::string(1, "WLCTRFXY"[slot.page]);
        text += " ";
    }
    return text;
}

TEST(WizardLayout, PluginLevelsReplaceOrInsertPages)
{
    const struct
    {
        std::vector<int> counts;
        const char* sequence;
        int total, postInstall, removalStart, postRemove;
    } cases[] = {
        {{}, "W L C T R F X Y ", 8, 5, 6, 7},
        // Levels 0, 2, 6 and 9 replace welcome, licence, ready and finish.
        {{2, 0, 1, 0, 0, 0, 3, 0, 0, 2}, "L0x2 L2x1 C T L6x3 L9x2 X Y ", 12, 8, 10, 11},
        // Levels 1, 3, 4, 5 and 8 come between the built-in pages; level 7
        // follows level 6 and is jumped over after an installation.
        {{0, 1, 0, 1, 1, 1, 0, 2, 1, 0}, "W L1x1 L L3x1 C L4x1 T L5x1 R L7x2 L8x1 F X Y ", 15, 11, 13, 14},
        {{-3, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "W L C T R F X Y ", 8, 5, 6, 7},
    };
    for (const auto& c : cases) {
        int counts[kPluginLevels] = {};
        for (size_t i = 0; i < c.counts.size(); ++i)
            counts[i] = c.counts[i];
        const WizardLayout layout = LayOutWizard(counts);
        SCOPED_TRACE(c.sequence);
        EXPECT_EQ(c.sequence, Sequence(layout));
        EXPECT_EQ(c.total, layout.total);
        EXPECT_EQ(c.postInstall, layout.postInstall);
        EXPECT_EQ(c.removalStart, layout.removalStart);
        EXPECT_EQ(c.postRemove, layout.postRemove);
    }
}

TEST(PageRules, QuietSelectionTakesKnownKeysInTheGivenOrder)
{
    ComponentListClear();
    for (const char* key : {"Alpha", "beta", "Gamma"})
        ComponentListAdd(key, 0);
    EXPECT_EQ((std::vector<int>{1, 0}), QuietSelection("BETA,alpha,zz"));
    EXPECT_EQ((std::vector<int>{2}), QuietSelection(",gamma,"));
    EXPECT_EQ((std::vector<int>{}), QuietSelection("alph,Alpha2"));
    ComponentListClear();
}

// The folder of /target: is held to the page's rules before anything is
// done; each refusal says which rule, for the debug log.
TEST(PageRules, TargetSwitchValues)
{
    const struct
    {
        const char* value;
        const char* stored;   // after trimming
        const char* problem;  // a word of the reason; null: accepted
    } cases[] = {
        {" D:\\Apps\\Vantor Tools\\ ", "D:\\Apps\\Vantor Tools", nullptr},
        {"c:\\x", "c:\\x", nullptr},
        {"C:\\", "C:", "root"},
        {"e:", "e:", "root"},
        {"Tools\\Vantor", "Tools\\Vantor", "absolute"},
        {"", "", "absolute"},
        {"x", "x", "absolute"},
        {"\\Vantor", "\\Vantor", "absolute"},
        {"\\\\server\\share\\Tools", "\\\\server\\share\\Tools", "network"},
        {"C:\\a:b", "C:\\a:b", "character"},
        {"C:\\a\\\"b", "C:\\a\\\"b", "character"},
        {"C:\\a|b", "C:\\a|b", "character"},
    };
    for (const auto& c : cases) {
        char path[260];
        snprintf(path, sizeof(path), "%s", c.value);
        const char* problem = TargetSwitchProblem(path);
        EXPECT_STREQ(c.stored, path) << c.value;
        if (c.problem == nullptr)
            EXPECT_EQ(nullptr, problem) << c.value << ": " << problem;
        else
            EXPECT_NE(nullptr, problem != nullptr ? std::strstr(problem, c.problem) : nullptr) << c.value;
    }
}

TEST(PageRules, TargetTextsAndDefaultDirectory)
{
    const struct
    {
        const char* typed;
        const char* stored;
    } typed[] = {
        {"  C:\\Program Files\\Vantor\\\\ \t", "C:\\Program Files\\Vantor"},
        {"D:\\", "D:"},
        {" \\\\ ", ""},
    };
    for (const auto& c : typed) {
        char path[260];
        snprintf(path, sizeof(path), "%s", c.typed);
        EXPECT_STREQ(c.stored, TrimTargetDirectory(path)) << c.typed;
    }

    // Only an absolute path on a drive offers Next (after trimming, as
    // stored): a share's permissions are not the machine's.
    const std::pair<const char*, bool> targets[] = {
        {"C:\\Program Files\\Vantor", true}, {"d:\\x", true}, {"\\\\server\\share", false},
        {"\\\\server\\share\\Tools", false}, {"\\\\?\\C:\\Tools", false}, {"", false}, {"D:", false}, {"C:\\\\x", false},
        {"Vantor\\Tools", false}, {"\\Vantor", false}, {"C:Vantor", false}, {"\\\\server", false},
        {"\\\\\\share", false}, {"\\\\server\\\\share", false}, {"1:\\x", false},
    };
    for (const auto& [path, absolute] : targets)
        EXPECT_EQ(absolute, IsAbsoluteTarget(path)) << path;

    const struct
    {
        const char* base;
        const char* subDir;
        const char* result;
    } defaults[] = {
        {"C:\\Program Files", "\\Tools", "C:\\Program Files\\Tools"},
        {"C:\\Program Files\\", "Vantor\\Modem Tools\\", "C:\\Program Files\\Vantor\\Modem Tools"},
        {"C:\\Program Files", "", "C:\\Program Files"},
    };
    for (const auto& c : defaults) {
        char out[260];
        ComposeDefaultDirectory(c.base, c.subDir, out, sizeof(out));
        EXPECT_STREQ(c.result, out) << c.subDir;
    }
    char small[12];
    ComposeDefaultDirectory("C:\\Program Files", "Tools", small, sizeof(small));
    EXPECT_EQ(sizeof(small) - 1, strlen(small)) << "cut to the buffer";
}

}  // namespace
