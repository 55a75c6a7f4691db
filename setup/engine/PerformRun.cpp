#include "PerformRun.h"

#include "BenchTrace.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "EmptyFolders.h"
#include "EntriesPhase.h"
#include "Exec.h"
#include "FileQueueCallback.h"
#include "Firewall.h"
#include "Plugins.h"
#include "ProgramFolder.h"
#include "RestartNeeded.h"
#include "ScriptLines.h"
#include "Services.h"
#include "SetupMessages.h"
#include "Shortcuts.h"
#include "TextList.h"
#include "resource.h"
#include "ufile.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Short texts of the script: section names, file-security paths and descriptors.
const size_t kFieldSize = 256;

template <typename Step>
void ForEachSection(const char* sections, Step step)
{
    for (int i = 0; const char* section = xUtilListEntry(sections, i); ++i)
        step(section);
}

void PostStatus(HWND page, int status)
{
    PostMessageA(page, WM_SETUP_STATUS, static_cast<WPARAM>(status), 0);
}

void RunExecLevel(HINF script, const char* sections, unsigned level, HWND page)
{
    ForEachSection(sections, [&](const char* section) { RunExec(script, section, level, page); });
}

// Reports a failed phase and leaves `error` as the last error; returns 0.
int PhaseFailed(const char* phase, const char* section, DWORD error)
{
    DebugErrorPrint("setup run: %s%s failed\n", phase, section);
    DebugReportError(error);
    SetLastError(error);
    return 0;
}

// A new queue with the file operations of every section, or
// INVALID_HANDLE_VALUE with the last error.
HSPFILEQ QueueFiles(HINF script, const char* sections)
{
    HSPFILEQ queue = SetupOpenFileQueue();
    if (queue == INVALID_HANDLE_VALUE) {
        PhaseFailed("opening the file queue", "", GetLastError());
        return queue;
    }
    // The sources are named from the medium's folder, not the current one.
    char medium[MAX_PATH] = "";
    BufSet(medium, sizeof(medium), MediumFolder());
    if (std::strlen(medium) > 3)
        medium[std::strlen(medium) - 1] = '\0';  // the folder without its backslash, but a drive root
    for (int i = 0; const char* section = xUtilListEntry(sections, i); ++i) {
        if (!SetupInstallFilesFromInfSectionA(script, nullptr, queue, section, medium, SP_COPY_NEWER_OR_SAME)) {
            const DWORD error = GetLastError();
            SetupCloseFileQueue(queue);
            PhaseFailed("queueing the files of ", section, error);
            return INVALID_HANDLE_VALUE;
        }
    }
    return queue;
}

// Commits and closes the queue. A file the Setup API left in use asks for
// a restart. `pending` gets what waits for deletion at the restart. 0 with
// the last error when the commit failed.
int CommitFiles(HSPFILEQ queue, HWND page, std::atomic<int>* rebootNeeded, int unattended,
                std::vector<std::string>* pending)
{
    BENCH_MARK("commit-begin");
    QueueCallbackContext run;
    run.rebootNeeded = rebootNeeded;
    run.unattended = unattended;
    run.defaultContext = SetupInitDefaultQueueCallbackEx(page, page, WM_SETUP_PROGRESS, 0, nullptr);
    BOOL committed = FALSE;
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
    if (run.defaultContext != nullptr) {
        committed = SetupCommitFileQueueA(page, queue, FileQueueCallback, &run);
        BENCH_MARK("commit-end");
        error = run.failure != 0 ? run.failure : GetLastError();
        SetupTermDefaultQueueCallback(run.defaultContext);
    }
    pending->swap(run.pending);
    // A deletion found kept at the end of the queue's last step fails the
    // run although the queue ended.
    if (!committed || run.failure != 0) {
        SetupCloseFileQueue(queue);
        // A commit the user ended in a Setup API prompt may leave no code.
        return PhaseFailed("the file copy", "", error != 0 ? error : ERROR_CANCELLED);
    }
    const INT inUse = SetupPromptReboot(queue, page, TRUE);
    if (inUse != -1 && (inUse & SPFILEQ_FILE_IN_USE) != 0) {
        rebootNeeded->store(1);
        LogRestartReason("files", "the Setup API reports a file of the queue in use");
    }
    SetupCloseFileQueue(queue);
    return 1;
}

// The FileSecurity key of `section` names sections of "path, descriptor"
// lines; each descriptor's access-control list is applied to its path.
// Lines lacking a field are skipped; failures are logged and ignored.
void ApplyFileSecurity(HINF script, const char* section)
{
    INFCONTEXT key;
    if (!SetupFindFirstLineA(script, section, "FileSecurity", &key))
        return;
    char name[kFieldSize];
    for (DWORD field = 1; ReadScriptField(&key, field, name, sizeof(name)); ++field) {
        INFCONTEXT line;
        for (BOOL more = SetupFindFirstLineA(script, name, nullptr, &line); more;
             more = SetupFindNextLine(&line, &line)) {
            // Neither is cut: a cut path names another file, a cut
            // descriptor grants other rights.
            char path[kFieldSize];
            char descriptor[kFieldSize];
            const FieldRead pathRead = ReadWholeField(&line, 1, path, sizeof(path));
            const FieldRead descriptorRead = ReadWholeField(&line, 2, descriptor, sizeof(descriptor));
            if (pathRead == FieldRead::TooLong || descriptorRead == FieldRead::TooLong) {
                LogOverlongField(name, &line, pathRead == FieldRead::TooLong ? 1 : 2, kFieldSize,
                                 "the file security is not applied");
                continue;
            }
            if (pathRead == FieldRead::Read && descriptorRead == FieldRead::Read &&
                !xUtilApplyFileSecurity(descriptor, path)) {
                DebugPrint(2, "setup run: file security of %s not applied\n", path);
            }
        }
    }
}

}  // namespace

int PerformRun(HINF script, const char* sections, HWND page, std::atomic<int>* busy, int removing,
               std::atomic<int>* rebootNeeded, const char* targetDirectory, int unattended)
{
    const int installing = removing ? 0 : 1;
    // The ready page's progress bar, which plug-in steps move.
    HWND bar = GetDlgItem(page, IDC_PROGRESS);
    auto steps = [&](int level, HSPFILEQ queue) {
        RunPluginSteps(level, page, bar, queue, installing, targetDirectory, rebootNeeded);
    };

    HSPFILEQ queue = QueueFiles(script, sections);
    if (queue == INVALID_HANDLE_VALUE)
        return 0;
    BENCH_MARK("files-queued");
    RunExecLevel(script, sections, 1, page);
    steps(0, queue);
    PostStatus(page, 2);
    if (!StopServices(script, sections))
        rebootNeeded->store(1);
    steps(1, queue);
    PostStatus(page, 3);
    BENCH_MARK("services-stopped");
    std::vector<std::string> pending;
    if (!CommitFiles(queue, page, rebootNeeded, unattended, &pending))
        return 0;
    // The removal also takes the emptied folders of the target's path.
    if (removing)
        RemoveEmptySubDirectories(script, targetDirectory, &pending, rebootNeeded);
    BENCH_MARK("files-committed");
    steps(2, nullptr);
    PostStatus(page, 4);

    for (int i = 0; const char* section = xUtilListEntry(sections, i); ++i) {
        if (!WriteSectionEntries(page, script, section))
            return PhaseFailed("the registry and INI entries of ", section, GetLastError());
    }
    BENCH_MARK("registry");
    ForEachSection(sections, [&](const char* section) { FirewallEntries(script, section); });
    ForEachSection(sections, [&](const char* section) { ApplyFileSecurity(script, section); });
    steps(4, nullptr);
    if (!DeleteAndCreateServices(script, sections))
        return PhaseFailed("deleting and creating the services", "", GetLastError());
    steps(3, nullptr);
    BENCH_MARK("firewall-security-services");
    PostStatus(page, 5);
    ForEachSection(sections, [&](const char* section) { ProcessShortcutKeys(script, section, unattended); });
    steps(5, nullptr);
    PostStatus(page, 6);
    if (!StartServices(script, sections))
        rebootNeeded->store(1);
    PostStatus(page, -1);
    BENCH_MARK("shortcuts-services-started");

    RunExecLevel(script, sections, 2, page);
    // Windows may end the session while the last programs run.
    busy->store(0);
    RunExecLevel(script, sections, 3, page);
    busy->store(1);
    BENCH_MARK("exec");
    return 1;
}
