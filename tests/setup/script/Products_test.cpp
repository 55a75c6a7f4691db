// The products section under Wine in install and remove mode, with a
// condition hook standing in for the condition libraries and the failure
// box observed through the message-box hook.
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

std::vector<std::string> g_boxes, g_asked;  // "caption|text|type"; sections whose conditions were asked

int RecordBox(HWND, const char* text, const char* caption, UINT type)
{
    g_boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
    return IDOK;
}

// "FailN.Install" fails with "failure N", "Quiet.Install" without a text.
int TestConditions(HINF, const char* section, char* failureText)
{
    g_asked.push_back(section);
    if (std::strncmp(section, "Fail", 4) == 0)
        BufSet(failureText, kFailureTextSize, std::string("failure ") + section[4]);
    return std::strncmp(section, "Fail", 4) != 0 && std::strcmp(section, "Quiet.Install") != 0;
}

std::vector<std::string> Components()
{
    std::vector<std::string> items;
    for (int i = 0, selected = 0; ComponentListGet(i, nullptr, 0, &selected); ++i)
        items.push_back(std::string(ComponentListName(i)) + "=" + std::to_string(selected));
    return items;
}

TEST(Products, InstallAndRemoveModeAndTheFailureBox)
{
    HINF script = scripttest::OpenScript(
        "[Products]\r\n"
        "modem = \"Modem driver\", Modem.Install, Modem.Remove, 3, 0, \"The driver\"\r\n"
        "tools = \"Tools\", Tools.Install, Tools.Remove, 2\r\n"
        "\"\" = \"No key\", Empty.Install, Empty.Remove, 3\r\n"
        "fail1 = \"F1\", Fail1.Install, Fail1.Remove, 1\r\n"
        "noflags = \"No flags\"\r\n"
        "[Products.Fail]\r\nfail1 = , Fail1.Install,, 1\r\nfail2 = , Fail2.Install,, 1\r\ntools = ,,, 2\r\n"
        "[Products.Quiet]\r\nfail1 = , Fail1.Install,, 1\r\nquiet = , Quiet.Install,, 1\r\n"
        "[Products.Empty]\r\n");
    ASSERT_NE(INVALID_HANDLE_VALUE, script);
    SetMessageBoxHook(RecordBox);
    SetConditionsHook(TestConditions);
    const HINSTANCE module = GetModuleHandleA(nullptr);

    EXPECT_EQ(1, ReadProducts(script, nullptr, module, "Products", 0));
    EXPECT_EQ((std::vector<std::string>{"modem=1"}), Components());
    EXPECT_EQ((std::vector<std::string>{"Modem.Install", "Empty.Install", "Fail1.Install"}), g_asked);
    char field[64];
    ASSERT_EQ(1, ProductField(script, 0, 6, field, sizeof(field), "Products"));
    EXPECT_STREQ("The driver", field);
    EXPECT_EQ(0, ProductField(script, 0, 7, field, sizeof(field), "Products"));

    g_asked.clear();
    EXPECT_EQ(4, ReadProducts(script, nullptr, module, "Products", 1));
    EXPECT_EQ((std::vector<std::string>{"modem=1", "tools=1", "fail1=0", "noflags=0"}), Components());
    EXPECT_TRUE(g_asked.empty()) << "remove mode asks no conditions";
    EXPECT_EQ(1, ReadProducts(script, nullptr, module, "Products.Empty", 0)) << "nothing to offer, no complaint";
    EXPECT_TRUE(g_boxes.empty());

    // Nothing qualifies: the text of the last condition that failed, even an
    // empty one, in the failure box.
    EXPECT_EQ(0, ReadProducts(script, nullptr, module, "Products.Fail", 0));
    EXPECT_EQ(0, ReadProducts(script, nullptr, module, "Products.Quiet", 0));
    const std::string caption = "The installation cannot be executed|";
    EXPECT_EQ((std::vector<std::string>{caption + "failure 2|0", caption + "|0"}), g_boxes);

    SetConditionsHook(nullptr);
    SetMessageBoxHook(nullptr);
    SetupCloseInfFile(script);
}

}  // namespace
