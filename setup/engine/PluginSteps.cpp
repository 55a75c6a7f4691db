#include "BufCopy.h"
#include "DebugLog.h"
#include "Journal.h"
#include "PluginLists.h"
#include "PluginModule.h"
#include "PluginText.h"
#include "Plugins.h"
#include "ProgramFolder.h"
#include "RestartNeeded.h"
#include "ScriptTrace.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace {

// The progress bar and the file queue of the level that runs. Set and
// cleared by the run thread around a level; the callbacks read them on
// that thread, from inside the step functions.
HWND g_progressBar = nullptr;
HSPFILEQ g_fileQueue = nullptr;

int __cdecl ProgressCallback(int position)
{
    return static_cast<int>(SendMessageA(g_progressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

bool QueueCopy(const char* source, const char* target, unsigned int copyStyle)
{
    char sourceDirectory[MAX_PATH], targetDirectory[MAX_PATH];
    const char* sourceName = SplitAtLastBackslash(source, sourceDirectory, sizeof(sourceDirectory));
    // A source named without a folder lies on the medium (never in the
    // current folder, which is the system folder).
    if (sourceName != nullptr && std::strcmp(sourceDirectory, ".") == 0 &&
        BufSet(sourceDirectory, sizeof(sourceDirectory), MediumFolder()) == 0)
        sourceName = nullptr;
    const char* targetName = SplitAtLastBackslash(target, targetDirectory, sizeof(targetDirectory));
    return g_fileQueue != nullptr && sourceName != nullptr && targetName != nullptr &&
           SetupQueueCopyA(g_fileQueue, sourceDirectory, nullptr, sourceName, nullptr, nullptr, targetDirectory,
                           targetName, copyStyle);
}

bool QueueDelete(const char* path)
{
    char directory[MAX_PATH];
    const char* name = SplitAtLastBackslash(path, directory, sizeof(directory));
    return g_fileQueue != nullptr && name != nullptr && SetupQueueDeleteA(g_fileQueue, directory, name);
}

// A plug-in that kept the callback and calls it outside levels 0 and 1
// finds no queue: that is logged like any other queuing failure.
void __cdecl QueueCallback(const char* source, const char* target, unsigned int copyStyle)
{
    if (source == nullptr)
        return;
    if (target == nullptr) {
        if (!QueueDelete(source))
            DebugErrorPrint("error: failed to queue delete action from plugin (pSrc: %s)\n", source);
    } else if (!QueueCopy(source, target, copyStyle)) {
        DebugErrorPrint("error: failed to queue copy action from plugin (pSrc: %s, pDst: %s)\n", source, target);
    }
}

void RunStep(const PluginStep& step, PluginStepFn function, HWND page, int installing,
             const char* targetDirectory, std::atomic<int>* rebootNeeded)
{
    // Only the low 16 bits count, for the range and for showing the bar.
    const WORD range = static_cast<WORD>(step.progressRange & 0xFFFF);
    SendMessageA(g_progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, range));
    SendMessageA(g_progressBar, PBM_SETPOS, 0, 0);
    SetDlgItemTextA(page, kPluginStatusControl, step.status);
    if (g_progressBar != nullptr)
        ShowWindow(g_progressBar, range != 0 ? SW_SHOW : SW_HIDE);
    char parameter[kPluginParameterSize];
    ReadPluginParameter(&step.scriptLine, step.field, parameter, sizeof(parameter));
    int restart = 0;
    if (JournalActive()) {
        // What a plug-in changes is its own: the journal notes that it ran.
        char library[MAX_PATH] = "";
        GetModuleFileNameA(step.module, library, sizeof(library));
        JournalProgramRan((std::string(library) + " " + step.exportName).c_str());
    }
    function(ProgressCallback, g_fileQueue != nullptr ? QueueCallback : nullptr, page, installing, &restart,
             parameter, targetDirectory != nullptr ? targetDirectory : "");
    char library[MAX_PATH] = "";
    if (RunLogOpened() && GetModuleFileNameA(step.module, library, sizeof(library)) == 0)
        library[0] = '\0';
    RunLogAction("plugin-steps", library, "level %d: %s", step.level, step.exportName);
    if (restart != 0 && rebootNeeded != nullptr) {
        rebootNeeded->store(1);
        LogRestartReason(library, "a plug-in step asks for a restart");
    }
}

}  // namespace

void RunPluginSteps(int level, HWND page, HWND progressBar, HSPFILEQ fileQueue, int installing,
                    const char* targetDirectory, std::atomic<int>* rebootNeeded)
{
    ScriptTrace("Starting the execution of external plugin steps for level %i.\n", level);
    g_progressBar = progressBar;
    // The queue is committed after level 1: later steps must not add to it.
    g_fileQueue = level == 0 || level == 1 ? fileQueue : nullptr;
    for (const std::unique_ptr<PluginStep>& step : PluginSteps()) {
        if (step->level != level || step->module == nullptr)
            continue;
        const PluginStepFn function = PluginExport<PluginStepFn>(step->module, step->exportName);
        if (function != nullptr)
            RunStep(*step, function, page, installing, targetDirectory, rebootNeeded);
    }
    if (progressBar != nullptr)
        ShowWindow(progressBar, SW_SHOW);
    g_progressBar = nullptr;
    g_fileQueue = nullptr;
}
