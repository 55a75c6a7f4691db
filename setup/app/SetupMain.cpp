#include "SetupMain.h"

#include "AutorunPause.h"
#include "BenchTrace.h"
#include "CommCtlVersion.h"
#include "CommonControls.h"
#include "ComponentList.h"
#include "CopyRun.h"
#include "DebugLog.h"
#include "DeploymentSwitches.h"
#include "DllSearch.h"
#include "Firewall.h"
#include "HiddenWindow.h"
#include "Journal.h"
#include "RemovalCopy.h"
#include "RunFolder.h"
#include "RunLog.h"
#include "SetupState.h"
#include "SingleInstance.h"
#include "UiLanguage.h"
#include "Usage.h"
#include "WindowsVersion.h"
#include "usystem.h"

#include <objbase.h>

#include <cstring>
#include <memory>
#include <string>

int SetupMain(HINSTANCE module, const char* commandLine)
{
    BENCH_MARK("main");
    // The debug log comes first, so that everything after it can report;
    // its files only once this is the one copy: a second start must leave
    // the running copy's log as it is.
    DebugStart(commandLine);
    BENCH_MARK("debug-log");

    // The state lives as long as the hidden window and the run threads.
    auto state = std::make_unique<SetupState>();
    SetupOptions& options = state->options;
    options.language = ChooseProgramLanguage(module);
    BENCH_MARK("language");
    options.wizardStyle = SupportsWizard97(QueryCommCtlVersion()) ? 1 : 0;
    BENCH_MARK("comctl-version");
    ParseSetupCommandLine(commandLine, &options);
    if (QueryRunningWindows().nt)
        SetThreadLocale(MAKELCID(options.language, SORT_DEFAULT));
    // /? shows the usage and does nothing else.
    if (options.help) {
        ShowUsage(module);
        return kExitSuccess;
    }

    if (!ClaimSingleInstance())
        return kExitAlreadyRunning;
    // A removal started from the installed folder runs from a copy, which
    // opens the log files itself; this copy holds the single-copy lock of
    // the installed program while it waits.
    int copyExitCode = 0;
    std::string notCopied;
    if (RemoveFromCopy(options, commandLine, &copyExitCode, &notCopied))
        return copyExitCode;
    DebugOpenFiles();
    ReportSingleInstanceLock();
    if (!notCopied.empty())
        DebugErrorPrint("setup: the removal runs from its own folder, which waits for the restart: %s\n",
                        notCopied.c_str());
    BENCH_MARK("single-instance");
    StartRunRecords(options);
    if (options.removalCopy)
        StartCopyRun(&options);
    if (!SwitchValuesUsable(&options, module)) {
        LeaveCopyFolderForRestart();
        RunLogClose(kExitBadCommandLine);
        return kExitBadCommandLine;
    }

    HRESULT com = CoInitialize(nullptr);
    BENCH_MARK("com");
    // An installation that was killed or lost its machine half way is
    // undone before anything else is done.
    JournalSetFirewallUndo([](const char* program) { return SUCCEEDED(FirewallRemoveApplication(program)); });
    bool recoveryNeedsRestart = false;
    JournalRecover(&recoveryNeedsRestart);
    if (recoveryNeedsRestart)
        state->rebootNeeded.store(1);
    BENCH_MARK("journal-recovery");
    InitCommonControlClasses();
    BENCH_MARK("common-controls");
    LoadSystemLibrary("riched32.dll");  // the licence page's rich-edit box; not needed otherwise
    BENCH_MARK("riched32");
    ComponentListClear();               // the global component list starts empty

    // Medium files are named by their full path (ProgramFolder.h); the
    // programs setup starts inherit the system folder unless the script
    // names another.
    xUtilEnterSystemFolder();
    PauseAutorun();

    BENCH_MARK("command-line");
    if (CreateSetupWindow(module, state.get())) {
        BENCH_MARK("hidden-window");
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } else {
        DebugErrorPrint("setup: the hidden window could not be created\n");
        DebugReportLastError();
    }

    BENCH_MARK("message-loop-end");
    ComponentListClear();
    RemoveRunFolder();  // the cabinet members read for versions and icons
    if (SUCCEEDED(com))
        CoUninitialize();
    BENCH_MARK("main-end");
    BENCH_WRITE();
    LeaveCopyFolderForRestart();
    RunLogClose(state->exitCode);
    return state->exitCode;
}
