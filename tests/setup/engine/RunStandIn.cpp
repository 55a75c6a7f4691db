// TEST SEAM until the wizard's pages exist: setup.exe with a stand-in for
// the wizard, for the tests of the installation run. Start-up, the run
// threads and the exit code are the real ones; the stand-in does only what
// the pages do around a run in unattended operation:
// - the components page: with an empty product list, the keys named by
//   the quiet text (comma-separated, without regard to case) or, without
//   one, the preselected products;
// - the target-directory page (installation): the directories of an
//   earlier installation, else C:\VtTarget, given to the script; the
//   removal page: the directories of the installation;
// - the ready and removal pages: a window of their own (with the status
//   line and progress bar controls) that starts InstallThread or
//   RemoveThread and ends with WM_SETUP_DONE.
// Every page message it receives is written to pages.txt beside the
// program: "status N", "progress W L", "done W L".
#include "ComponentList.h"
#include "InstallRun.h"
#include "PageContext.h"
#include "PairList.h"
#include "SetupMain.h"
#include "SetupMessages.h"
#include "TextList.h"
#include "Uninstall.h"
#include "Wizard.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string g_messages;
bool g_done = false;

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_SETUP_STATUS && message <= WM_SETUP_DONE) {
        const char* names[] = {"status", "progress", "done"};
        g_messages += std::string(names[message - WM_SETUP_STATUS]) + " " +
                      std::to_string(static_cast<int>(wParam)) + " " + std::to_string(lParam) + "\n";
        g_done = g_done || message == WM_SETUP_DONE;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void SelectProducts(SetupContext* context)
{
    if (context->productList[0] != '\0')
        return;
    const std::string quiet = context->quiet ? context->quiet : "";
    for (size_t start = 0; !quiet.empty() && start <= quiet.size();) {
        const size_t comma = std::min(quiet.find(',', start), quiet.size());
        const std::string name = quiet.substr(start, comma - start);
        for (int i = 0; const char* key = ComponentListName(i); ++i) {
            if (lstrcmpiA(key, name.c_str()) == 0) {
                xUtilListAppendGrow(&context->productList, &context->productListCapacity, key);
                break;
            }
        }
        start = comma + 1;
    }
    int selected = 0;
    for (int i = 0; quiet.empty() && ComponentListGet(i, nullptr, 0, &selected); ++i) {
        if (selected)
            xUtilListAppendGrow(&context->productList, &context->productListCapacity, ComponentListName(i));
    }
}

void SetDirectories(SetupContext* context)
{
    PairList pairs;
    RecallDirectories(context->script, context->productsSection, context->installSection,
                      context->removeMode ? nullptr : "C:\\VtTarget", context->targetDirectory, &pairs);
    if (!context->removeMode)
        AssignDirectories(context->script, context->productsSection, context->installSection,
                          context->targetDirectory, &pairs);
    if (pairs.texts != nullptr) {
        std::free(context->pairList);
        context->pairList = pairs.texts;
    }
}

}  // namespace

RunOutcome ShowWizard(SetupContext* context)
{
    SelectProducts(context);
    SetDirectories(context);
    WNDCLASSA pageClass = {};
    pageClass.lpfnWndProc = PageProc;
    pageClass.lpszClassName = "StandInPage";
    RegisterClassA(&pageClass);
    HWND page = CreateWindowA("StandInPage", "", WS_OVERLAPPED, 0, 0, 300, 200, context->owner, nullptr,
                              nullptr, nullptr);
    CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 200, 20, page, reinterpret_cast<HMENU>(1203), nullptr, nullptr);
    CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD, 0, 30, 200, 20, page, reinterpret_cast<HMENU>(1210), nullptr,
                  nullptr);
    SetPageContext(page, context);

    HANDLE thread = CreateThread(nullptr, 0, context->removeMode ? RemoveThread : InstallThread, page, 0, nullptr);
    MSG message;
    while (thread != nullptr && !g_done && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    RemovePageContext(page);
    DestroyWindow(page);
    std::ofstream("pages.txt", std::ios::binary) << g_messages;
    return context->lastRun.load() == 1 ? RunOutcome::Finished : RunOutcome::Failed;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return SetupMain(instance, commandLine);
}
