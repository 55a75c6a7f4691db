#include "SetupMain.h"

#include "AutorunPause.h"
#include "CommCtlVersion.h"
#include "CommonControls.h"
#include "ComponentList.h"
#include "DebugLog.h"
#include "HiddenWindow.h"
#include "SetupState.h"
#include "SingleInstance.h"
#include "UiLanguage.h"
#include "WindowsVersion.h"

#include <objbase.h>

#include <cstring>
#include <memory>

namespace {

// Makes the program's folder the current directory.
void EnterProgramDirectory()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return;
    if (char* slash = strrchr(path, '\\')) {
        *slash = '\0';
        SetCurrentDirectoryA(path);
    }
}

}  // namespace

int SetupMain(HINSTANCE module, const char* commandLine)
{
    // The debug log comes first, so that everything after it can report.
    DebugConfigure(commandLine);
    if (!ClaimSingleInstance())
        return kExitAlreadyRunning;

    // The state lives as long as the hidden window and the run threads.
    auto state = std::make_unique<SetupState>();
    SetupOptions& options = state->options;
    options.language = ChooseProgramLanguage(module);

    HRESULT com = CoInitialize(nullptr);
    InitCommonControlClasses();
    LoadLibraryA("Riched32.dll");  // the licence page's rich-edit box; not needed otherwise
    ComponentListClear();          // the global component list starts empty

    options.wizardStyle = SupportsWizard97(QueryCommCtlVersion()) ? 1 : 0;
    ParseSetupCommandLine(commandLine, &options);
    if (QueryRunningWindows().nt)
        SetThreadLocale(MAKELCID(options.language, SORT_DEFAULT));
    EnterProgramDirectory();
    PauseAutorun();

    if (CreateSetupWindow(module, state.get())) {
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } else {
        DebugErrorPrint("setup: the hidden window could not be created\n");
        DebugReportLastError();
    }

    ComponentListClear();
    if (SUCCEEDED(com))
        CoUninitialize();
    return state->exitCode;
}
