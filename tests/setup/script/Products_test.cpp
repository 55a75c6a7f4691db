// Reading the products section under Wine, in install and remove mode, with
// a condition hook standing in for the condition libraries; the failure box
// observed through the message-box hook.
#include "BufCopy.h"
#include "ComponentList.h"
#include "MessageBoxes.h"
#include "Products.h"
#include "ScriptFiles.h"
#include "ScriptLines.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Box
{
    std::string text, caption;
    UINT type;
};
std::vector<Box> g_boxes;
std::vector<std::string> g_conditionSections;

int RecordBox(HWND, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back({text, caption, type});
    return IDOK;
}

// The conditions of "Fail1.Install" and "Fail2.Install" fail with a text,
// those of "Quiet.Install" without one; all others hold.
int TestConditions(HINF, const char* section, char* failureText)
{
    g_conditionSections.push_back(section);
    if (std::strcmp(section, "Quiet.Install") == 0)
        return 0;
    if (std::strncmp(section, "Fail", 4) != 0)
        return 1;
    BufSet(failureText, kFailureTextSize, section[4] == '1' ? "first failure" : "second failure");
    return 0;
}

// The component list as "name=selected" items.
std::vector<std::string> Components()
{
    std::vector<std::string> items;
    for (int i = 0; i < ComponentListCount(); ++i) {
        char name[64];
        int selected = -1;
        ComponentListGet(i, name, sizeof(name), &selected);
        items.push_back(std::string(name) + "=" + std::to_string(selected));
    }
    return items;
}

class Products : public testing::Test
{
protected:
    void SetUp() override
    {
        script_ = scripttest::OpenScript(
            "[Products]\r\n"
            "modem = \"Modem driver\", Modem.Install, Modem.Remove, 3, 0, \"The driver\", 1.0\r\n"
            "tools = \"Tools\", Tools.Install, Tools.Remove, 2\r\n"
            "\"\" = \"No key\", Empty.Install, Empty.Remove, 3\r\n"
            "fail1 = \"F1\", Fail1.Install, Fail1.Remove, 1\r\n"
            "fail2 = \"F2\", Fail2.Install, Fail2.Remove, 3\r\n"
            "noflags = \"No flags\"\r\n\r\n"
            "[Products.Fail]\r\n"
            "fail1 = \"F1\", Fail1.Install, Fail1.Remove, 1\r\n"
            "fail2 = \"F2\", Fail2.Install, Fail2.Remove, 1\r\n"
            "tools = \"Tools\", Tools.Install, Tools.Remove, 2\r\n\r\n"
            "[Products.Quiet]\r\n"
            "fail1 = \"F1\", Fail1.Install, Fail1.Remove, 1\r\n"
            "quiet = \"Q\", Quiet.Install, Quiet.Remove, 1\r\n\r\n"
            "[Products.NotOffered]\r\ntools = \"Tools\", Tools.Install, Tools.Remove, 2\r\n\r\n"
            "[Products.Empty]\r\n\r\n");
        ASSERT_NE(INVALID_HANDLE_VALUE, script_);
        g_boxes.clear();
        g_conditionSections.clear();
        SetMessageBoxHook(RecordBox);
        SetConditionsHook(TestConditions);
    }
    void TearDown() override
    {
        SetConditionsHook(nullptr);
        SetMessageBoxHook(nullptr);
        SetupCloseInfFile(script_);
    }

    HINF script_ = INVALID_HANDLE_VALUE;
};

TEST_F(Products, InstallAndRemoveMode)
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(1, ReadProducts(script_, nullptr, module, "Products", 0));
    EXPECT_EQ((std::vector<std::string>{"modem=1"}), Components());
    EXPECT_EQ((std::vector<std::string>{"Modem.Install", "Empty.Install", "Fail1.Install", "Fail2.Install"}),
              g_conditionSections)
        << "only offered lines ask their conditions";
    char field[64];
    ASSERT_EQ(1, ProductField(script_, 0, 6, field, sizeof(field), "Products"));
    EXPECT_STREQ("The driver", field);
    ASSERT_EQ(1, ProductField(script_, 0, 0, field, sizeof(field), "Products"));
    EXPECT_STREQ("modem", field);
    EXPECT_EQ(0, ProductField(script_, 0, 8, field, sizeof(field), "Products"));
    EXPECT_EQ(0, ProductField(script_, 1, 1, field, sizeof(field), "Products"));

    g_conditionSections.clear();
    EXPECT_EQ(5, ReadProducts(script_, nullptr, module, "Products", 1));
    EXPECT_EQ((std::vector<std::string>{"modem=1", "tools=1", "fail1=0", "fail2=1", "noflags=0"}), Components());
    EXPECT_TRUE(g_conditionSections.empty());
    EXPECT_TRUE(g_boxes.empty());

    // A section without lines: nothing to offer, and no complaint.
    EXPECT_EQ(1, ReadProducts(script_, nullptr, module, "Products.Empty", 0));
    EXPECT_EQ(0, ComponentListCount());
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(Products, NothingQualifiesShowsTheLastFailure)
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(0, ReadProducts(script_, nullptr, module, "Products.Fail", 0));
    EXPECT_EQ(0, ComponentListCount());
    EXPECT_EQ(0, ReadProducts(script_, nullptr, module, "Products.Quiet", 0));
    EXPECT_EQ(0, ReadProducts(script_, nullptr, module, "Products.NotOffered", 0));
    ASSERT_EQ(3u, g_boxes.size());
    EXPECT_EQ("second failure", g_boxes[0].text);
    EXPECT_EQ("", g_boxes[1].text) << "the last failure had no text";
    EXPECT_EQ("", g_boxes[2].text) << "nothing failed";
    for (const Box& box : g_boxes) {
        EXPECT_EQ("The installation cannot be executed", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), box.type & MB_TYPEMASK);
    }
}

}  // namespace
