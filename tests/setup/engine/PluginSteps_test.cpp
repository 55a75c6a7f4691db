// Plug-in steps of a level as the installation run calls them: on a worker
// thread, with a page holding the status line (1203) and a real progress
// bar (1210), and a Setup API file queue that is committed after level 1.
#include "DebugLog.h"
#include "PluginFixture.h"
#include "ProgramFolder.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

namespace {

class Steps : public PluginFixture
{
protected:
    void SetUp() override
    {
        PluginFixture::SetUp();
        InitCommonControls();
        page_ = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, page_, reinterpret_cast<HMENU>(1203),
                      nullptr, nullptr);
        bar_ = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 30, 200, 20, page_,
                             reinterpret_cast<HMENU>(1210), nullptr, nullptr);
        ShowWindow(page_, SW_SHOW);
    }

    void TearDown() override
    {
        DestroyWindow(page_);
        PluginFixture::TearDown();
    }

    // Runs one level on a worker thread while this (the page's) thread
    // handles the messages the steps send to the page.
    void RunLevel(int level, HSPFILEQ queue)
    {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            RunPluginSteps(level, page_, bar_, queue, 1, "C:\\plugintest\\target", &reboot_);
            done = true;
        });
        while (!done) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        }
        worker.join();
    }

    HWND page_ = nullptr, bar_ = nullptr;
    std::atomic<int> reboot_{0};
};

TEST_F(Steps, QueueProgressStatusAndRestart)
{
    const std::string dir = kDir, longDir = "C:\\" + std::string(MAX_PATH, 'd');
    const std::string debugLog = dir + "\\debug.log";
    DebugConfigure(("setup /debug:1," + debugLog).c_str());
    CreateDirectoryA((dir + "\\src").c_str(), nullptr);
    WriteText(dir + "\\src\\a.txt", "file a");
    WriteText(dir + "\\src\\plain.txt", "plain file");
    WriteText(dir + "\\old.txt", "old");
    // Level 0 queues two copies (one without a directory: the medium's)
    // and a deletion; two more steps try operations whose directory is too
    // long. The level-2 step would queue a copy if it got the callback.
    const std::string zero = "zero;step=0/10;copy=" + dir + "\\src\\a.txt>" + dir + "\\out\\a.txt;copy=plain.txt>" +
                             dir + "\\out\\b.txt;delete=" + dir + "\\old.txt";
    const std::string two = "two;step=2/0;copy=" + dir + "\\src\\a.txt>" + dir + "\\out\\never.txt";
    ASSERT_NE(INVALID_HANDLE_VALUE,
              OpenScript("[Install]\r\nPlugins = \"testplugin.dll:" + zero + "\", \"testplugin.dll:" + two +
                         "\", \"testplugin.dll:five;step=5/30;restart\", \"testplugin.dll:gone;step=5/1/NoSuchStep\"," +
                         " \"testplugin.dll:wide;step=2/65536\", \"testplugin.dll:wrap;step=2/65546\"," +
                         " \"testplugin.dll:longcopy;step=1/0;copy=" + longDir + "\\x>C:\\x\"," +
                         " \"testplugin.dll:longdelete;step=1/0;delete=" + longDir + "\\y\"\r\n"));
    CollectPlugins(script_, "Install", "Remove", "Products", 0);
    HSPFILEQ queue = SetupOpenFileQueue();
    ASSERT_NE(INVALID_HANDLE_VALUE, queue);

    const std::string seen = "|C:\\plugintest\\target|installing=1|restart=0|";
    SetMediumFolder(dir + "\\src\\");  // stands for setup.exe's folder
    RunLevel(0, queue);
    RunLevel(1, queue);
    EXPECT_EQ(0, reboot_.load());
    RunLevel(2, queue);  // offered the queue, which the runner must withhold
    EXPECT_TRUE(IsWindowVisible(bar_)) << "shown again after the level";
    EXPECT_EQ((std::vector<std::string>{"testplugin.dll|TestStep|" + zero + seen + "queue|status=step 0 of " + zero +
                                        "|bar shown|range=10|progress=0,5|selected=1"}),
              Calls("|TestStep|zero"));
    EXPECT_EQ((std::vector<std::string>{"testplugin.dll|TestStep|" + two + seen + "no queue|status=step 0 of " + two +
                                        "|bar hidden|range=0|progress=0,0|selected=1"}),
              Calls("|TestStep|two"));
    // Only the low 16 bits of the range count, for the range and the bar.
    EXPECT_EQ((std::vector<std::string>{"testplugin.dll|TestStep|wide;step=2/65536" + seen +
                                        "no queue|status=step 0 of wide;step=2/65536|bar hidden|range=0|"
                                        "progress=0,0|selected=1"}),
              Calls("|TestStep|wide"));
    EXPECT_EQ((std::vector<std::string>{"testplugin.dll|TestStep|wrap;step=2/65546" + seen +
                                        "no queue|status=step 0 of wrap;step=2/65546|bar shown|range=10|"
                                        "progress=0,5|selected=1"}),
              Calls("|TestStep|wrap"));

    void* context = SetupInitDefaultQueueCallback(page_);
    EXPECT_TRUE(SetupCommitFileQueueA(page_, queue, SetupDefaultQueueCallbackA, context));
    SetupTermDefaultQueueCallback(context);
    SetupCloseFileQueue(queue);
    SetMediumFolder("");
    EXPECT_EQ("file a", testsupport::ReadFileBytes(dir + "\\out\\a.txt"));
    EXPECT_EQ("plain file", testsupport::ReadFileBytes(dir + "\\out\\b.txt"));
    EXPECT_FALSE(testsupport::FileExists(dir + "\\old.txt"));
    EXPECT_FALSE(testsupport::FileExists(dir + "\\out\\never.txt"));
    EXPECT_EQ("error: failed to queue copy action from plugin (pSrc: " + longDir + "\\x, pDst: C:\\x)\r\n"
              "error: failed to queue delete action from plugin (pSrc: " + longDir + "\\y)\r\n",
              testsupport::ReadFileBytes(debugLog));

    // Level 5: the restart request reaches the run's flag; a step whose
    // export is missing is skipped.
    ClearCalls();
    RunLevel(5, nullptr);
    EXPECT_EQ(1, reboot_.load());
    EXPECT_EQ((std::vector<std::string>{"testplugin.dll|TestStep|five;step=5/30;restart" + seen +
                                        "no queue|status=step 0 of five;step=5/30;restart|bar shown|range=30|"
                                        "progress=0,15|selected=1"}),
              Calls("|TestStep|"));
    char status[64];
    GetDlgItemTextA(page_, 1203, status, sizeof(status));
    EXPECT_STREQ("step 0 of five;step=5/30;restart", status);
}

}  // namespace
