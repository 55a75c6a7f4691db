#include "InstallRun.h"

#include "BenchTrace.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "Journal.h"
#include "PageContext.h"
#include "PairList.h"
#include "PerformRun.h"
#include "RestartNeeded.h"
#include "RunLists.h"
#include "ScriptLines.h"
#include "SetupMessages.h"
#include "TargetFolder.h"
#include "TextList.h"
#include "Uninstall.h"
#include "usystem.h"

namespace {

// The products section of the run's script, for the run-list functions.
struct ProductLines
{
    HINF script;
    const char* section;
};

int ProductLineField(void* lines, const char* key, int field, char* buffer, size_t size)
{
    auto* products = static_cast<ProductLines*>(lines);
    return FindLine(products->script, key, products->section, static_cast<DWORD>(field), buffer, size);
}

int OutOfMemory()
{
    DebugErrorPrint("setup run: out of memory for the run section list\n");
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}

// Installation: the install section and the products' install sections;
// the target folder is made first (for administrators only), then the
// uninstall entries are written before anything else changes.
int Install(HWND page, SetupContext* context)
{
    // From here on every change is journalled before it is made.
    JournalBegin();
    if (!PrepareTargetFolder(context->targetDirectory))
        return 0;
    ProductLines lines = {context->script, context->productsSection};
    if (!BuildInstallSections(&context->sectionList, &context->sectionListCapacity, context->installSection,
                              context->productList, ProductLineField, &lines))
        return OutOfMemory();
    BENCH_MARK("run-sections");
    PairList pairs = {context->pairList, xUtilListSize(context->pairList)};
    if (!RegisterUninstall(context->script, context->productList, context->productsSection,
                           context->installSection, context->targetDirectory, &pairs)) {
        DebugPrint(2, "setup run: uninstall entries not (all) written, error %lu\n", GetLastError());
    }
    BENCH_MARK("uninstall-entries");
    return PerformRun(context->script, context->sectionList, page, context->busy, 0, context->rebootNeeded,
                      context->targetDirectory, context->quiet != nullptr);
}

// Removal: the products' remove sections, and the remove section when no
// other product stays installed; their uninstall entries go first.
int Remove(HWND page, SetupContext* context)
{
    const int remaining = SelectProductsToRemove(context->productList, IsRegistered);
    ProductLines lines = {context->script, context->productsSection};
    if (!BuildRemoveSections(&context->sectionList, &context->sectionListCapacity, context->removeSection,
                             context->productList, remaining, ProductLineField, &lines))
        return OutOfMemory();
    DeleteUninstallEntries(context->productList);
    return PerformRun(context->script, context->sectionList, page, context->busy, 1, context->rebootNeeded,
                      context->targetDirectory, context->quiet != nullptr);
}

// Products with the restart flag and the install section's Reboot key ask
// for a restart after a successful run; the log names each of them.
void CheckRestart(SetupContext* context)
{
    ProductLines lines = {context->script, context->productsSection};
    char reboot[32] = "";
    const bool hasReboot = FindLine(context->script, "Reboot", context->installSection, 1, reboot, sizeof(reboot));
    if (CountRestartRequests(context->productList, hasReboot ? reboot : nullptr, ProductLineField, &lines) == 0)
        return;
    context->rebootNeeded->store(1);
    if (!RunLogOpened())
        return;
    // Which of them ask: each product alone, then the Reboot key alone.
    for (int i = 0; const char* key = xUtilListEntry(context->productList, i); ++i) {
        char one[kRunSectionNameSize + 1] = {};  // a text list of the key alone: its text and the list's end
        BufSet(one, kRunSectionNameSize, key);
        if (CountRestartRequests(one, nullptr, ProductLineField, &lines) > 0)
            LogRestartReason(key, "the product's restart flag (4)");
    }
    const char none[2] = {};
    if (hasReboot && CountRestartRequests(none, reboot, ProductLineField, &lines) > 0) {
        char section[kRunSectionNameSize + 2];
        BufFormat(section, sizeof(section), "[%s]", context->installSection);
        LogRestartReason(section, "its Reboot key");
    }
}

// The frame of both threads: locale, busy flag, the run, the restart check
// and the closing message. Nothing thrown leaves the thread.
DWORD RunThread(LPVOID parameter, int (*run)(HWND, SetupContext*))
{
    HWND page = static_cast<HWND>(parameter);
    SetupContext* context = PageContext(page);
    if (context == nullptr) {
        PostMessageA(page, WM_SETUP_DONE, 0, ERROR_INVALID_PARAMETER);
        return 0;
    }
    BENCH_MARK("run-thread");
    if (xUtilIsWinNT())
        SetThreadLocale(MAKELCID(context->language, SORT_DEFAULT));
    context->busy->store(1);

    int succeeded = 0;
    DWORD error = 0;
    try {
        succeeded = run(page, context);
        error = succeeded ? 0 : GetLastError();
        if (succeeded)
            CheckRestart(context);
    } catch (...) {
        DebugErrorPrint("setup run: unexpected exception\n");
        succeeded = 0;
        error = ERROR_NOT_ENOUGH_MEMORY;  // what the run's own code can throw
    }
    // A failed installation is undone; a successful one drops its journal.
    // (A removal writes none.)
    if (succeeded) {
        JournalFinish();
    } else {
        bool restartNeeded = false;
        JournalRollback(&restartNeeded);
        if (restartNeeded)
            context->rebootNeeded->store(1);
        SetLastError(error);
    }
    context->lastRun.store(succeeded);
    context->busy->store(0);
    BENCH_MARK("run-done");
    PostMessageA(page, WM_SETUP_DONE, succeeded, static_cast<LPARAM>(error));
    return 0;
}

}  // namespace

DWORD WINAPI InstallThread(LPVOID page)
{
    return RunThread(page, Install);
}

DWORD WINAPI RemoveThread(LPVOID page)
{
    return RunThread(page, Remove);
}
