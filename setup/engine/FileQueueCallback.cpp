#include "FileQueueCallback.h"

#include "BenchTrace.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "DirectoryEntries.h"
#include "Journal.h"
#include "MoveAside.h"
#include "QueueText.h"
#include "RunLog.h"
#include "ufile.h"
#include "usystem.h"

#include <cstring>
#include <new>

namespace {

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Errors of a file another program holds open (or maps, or runs).
bool InUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_USER_MAPPED_FILE;
}

// Notifications whose answer FILEOP_ABORT (0) ends the commit.
bool StepStarts(UINT notification)
{
    return notification == SPFILENOTIFY_STARTSUBQUEUE || notification == SPFILENOTIFY_STARTDELETE ||
           notification == SPFILENOTIFY_STARTRENAME || notification == SPFILENOTIFY_STARTCOPY ||
           notification == SPFILENOTIFY_NEEDMEDIA;
}

bool Missing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A read-only file refuses deletion and overwriting: clears the attribute.
// True when it was set and is cleared now (the operation may be retried).
bool ClearReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
           SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Whether a file that refused its deletion with access denied, or is still
// there after the queue reported it deleted, stays for good: kept by the
// disk (read-only) or the run's rights, or a folder by that name. Otherwise
// a program holds it (a running program's image or a mapped file, whose
// deletion Windows refuses with access denied too; an open file, whose
// deletion Wine reports done while it keeps the file until it is closed),
// and it can go at the restart. A held file still opens for writing with
// full sharing, or fails for its holder's sharing only; a kept one (also a
// read-only file or a folder) fails with access denied or write protection.
// (Windows answers nothing about a file whose deletion waits for its last
// handle to close: such a file counts as gone.)
bool KeptForGood(const char* path)
{
    if (!Exists(path))
        return false;
    // Windows 95 to Me refuse the sharing of deletion as a bad parameter.
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | (xUtilIsWinNT() ? FILE_SHARE_DELETE : 0);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    const DWORD error = GetLastError();
    return error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && !Missing(error);
}

// `directory` and `name` (either may be null) joined by a backslash.
void JoinPath(char* path, const char* directory, const char* name)
{
    BufSet(path, MAX_PATH, directory != nullptr ? directory : "");
    if (path[0] != '\0' && path[std::strlen(path) - 1] != '\\')
        BufAppend(path, MAX_PATH, "\\");
    BufAppend(path, MAX_PATH, name != nullptr ? name : "");
}

// Ends the commit because `source` (a path the queue gives, possibly
// relative to the program's directory) cannot be found.
UINT FailMissing(QueueCallbackContext* run, const char* source, DWORD error)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(source, sizeof(full), full, nullptr);
    if (length == 0 || length >= sizeof(full))
        BufSet(full, sizeof(full), source);
    DebugErrorPrint("setup: the source file %s cannot be found; the run stops\n", full);
    DebugReportError(error);
    RunLogPrint("the source file %s cannot be found; the run stops", full);
    run->failure = error;
    run->copy.outcome = CopyOutcome::Failed;
    SetLastError(error);
    return FILEOP_ABORT;
}

// Whether a window was created on the run thread while the default
// callback handled an error: its dialog, so someone was asked. Only the run
// thread sets and reads it, one commit at a time.
bool g_platformAsked = false;

LRESULT CALLBACK WatchForDialog(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        g_platformAsked = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A copy, rename or delete error that nothing above handles (a full disk,
// access denied on a file that is not read-only, ...). Unattended, nobody
// can answer the platform's dialog: the commit ends at once with the error.
// Interactive, the platform's dialog decides (retry, skip, cancel); when
// the default callback skipped the file without asking anyone (Wine does),
// the run fails all the same, since the file was not copied.
UINT FailOrAsk(QueueCallbackContext* run, UINT notification, UINT_PTR param1, UINT_PTR param2)
{
    const DWORD error = reinterpret_cast<const FILEPATHS_A*>(param1)->Win32Error;
    if (!run->unattended) {
        g_platformAsked = false;
        HHOOK watch = SetWindowsHookExA(WH_CBT, WatchForDialog, nullptr, GetCurrentThreadId());
        const UINT answer = SetupDefaultQueueCallbackA(run->defaultContext, notification, param1, param2);
        if (watch != nullptr)
            UnhookWindowsHookEx(watch);
        if (answer == FILEOP_SKIP && notification == SPFILENOTIFY_COPYERROR)
            run->copy.outcome = CopyOutcome::Skipped;
        if (answer != FILEOP_SKIP || g_platformAsked)
            return answer;
    }
    DebugErrorPrint("setup: the run stops\n");
    RunLogPrint("%s: error %lu; the run stops", reinterpret_cast<const FILEPATHS_A*>(param1)->Target, error);
    run->failure = error;
    run->copy.outcome = CopyOutcome::Failed;
    SetLastError(error);
    return FILEOP_ABORT;
}

// Creates `directory` and the directories above it that are missing; the
// log names each one made.
void CreateDirectoryPath(const char* directory)
{
    char path[MAX_PATH];
    const size_t length = BufSet(path, sizeof(path), directory);
    // From behind "C:\" on; a doubled backslash starts a network path.
    for (size_t at = 3; at <= length; ++at) {
        if (at < length && (path[at] != '\\' || path[at - 1] == '\\'))
            continue;
        const char kept = path[at];
        path[at] = '\0';
        if (CreateDirectoryA(path, nullptr))
            RunLogAction("make-folder", path);
        path[at] = kept;
    }
}

// Before a copy: its folder and the folders above it, when missing. The
// queue copies a folder's files one after the other, so a folder is looked
// at once, at its first copy.
void MakeCopyFolder(QueueCallbackContext* run, const char* target)
{
    char directory[MAX_PATH];
    QueueDirectoryOf(target, directory, sizeof(directory));
    if (directory[0] == '\0' || std::strcmp(directory, run->copyDirectory) == 0)
        return;
    BufSet(run->copyDirectory, sizeof(run->copyDirectory), directory);
    if (GetFileAttributesA(directory) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryPath(directory);
}

struct CabinetMember
{
    const char* name;
    const char* target;
    bool extracted;
};

UINT CALLBACK ExtractMember(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR)
{
    auto* member = static_cast<CabinetMember*>(context);
    if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        if (lstrcmpiA(info->NameInCabinet, member->name) != 0)
            return FILEOP_SKIP;
        BufSet(info->FullTargetName, sizeof(info->FullTargetName), member->target);
        return FILEOP_DOIT;
    }
    if (notification == SPFILENOTIFY_FILEEXTRACTED)
        member->extracted = reinterpret_cast<FILEPATHS_A*>(param1)->Win32Error == NO_ERROR;
    return notification == SPFILENOTIFY_NEEDNEWCABINET ? ERROR_FILE_NOT_FOUND : NO_ERROR;
}

// A copy onto a file in use: the new file (the source, or the member of the
// medium's cabinet when the source lies inside it) is staged beside the
// target and replaces it at the next restart. True when scheduled.
bool StageReplacement(QueueCallbackContext* run, const char* source, const char* target)
{
    char directory[MAX_PATH];
    char staged[MAX_PATH];
    QueueDirectoryOf(target, directory, sizeof(directory));
    if (!GetTempFileNameA(directory, "stp", 0, staged))
        return false;
    JournalNewFile(staged);  // a rollback deletes it, and the restart then has nothing to rename
    const char* slash = std::strrchr(source, '\\');
    CabinetMember member = {slash != nullptr ? slash + 1 : source, staged, false};
    bool staging = Exists(source) ? CopyFileA(source, staged, FALSE) != FALSE
                   : run->cabinet[0] != '\0' && SetupIterateCabinetA(run->cabinet, 0, ExtractMember, &member) &&
                         member.extracted;
    if (!staging || !xUtilDelayReplace(staged, target)) {
        DeleteFileA(staged);
        return false;
    }
    DebugPrint(2, "setup: %s is in use; it is replaced at the next restart\n", target);
    run->rebootNeeded->store(1);
    run->copy.outcome = CopyOutcome::AtRestart;
    return true;
}

// Notes a path scheduled for deletion at the restart (the folders above it
// may go then too).
void Remember(QueueCallbackContext* run, const char* path)
{
    try {
        run->pending.emplace_back(path);
    } catch (const std::bad_alloc&) {
        // Without the note a folder above merely stays.
    }
}

// A file the queue reported deleted is still there and kept for good (Wine
// reports the deletion of a file on a read-only disk done): handled as a
// delete error. The queue takes no answer to the end of a deletion, so a
// retry is made here, and a failure ends the commit at the queue's next
// step. FILEOP_DOIT when the file is gone after all (or only held now),
// FILEOP_SKIP when the user chose to leave it, FILEOP_ABORT on failure.
UINT RetryKeptDeletion(QueueCallbackContext* run, const FILEPATHS_A* paths)
{
    FILEPATHS_A refused = *paths;
    refused.Win32Error = ERROR_ACCESS_DENIED;
    while (KeptForGood(paths->Target)) {
        DebugErrorPrint("setup: cannot delete %s\n", paths->Target);
        DebugReportError(ERROR_ACCESS_DENIED);
        const UINT answer = FailOrAsk(run, SPFILENOTIFY_DELETEERROR, reinterpret_cast<UINT_PTR>(&refused), 0);
        if (answer == FILEOP_SKIP)
            return FILEOP_SKIP;
        if (answer != FILEOP_DOIT) {
            if (run->failure == 0)
                run->failure = ERROR_CANCELLED;  // ended in the platform's dialog
            return FILEOP_ABORT;
        }
        DeleteFileA(paths->Target);
    }
    return FILEOP_DOIT;
}

// After each deletion: a file a program still holds is scheduled for
// deletion at restart (one kept for good fails the run, or stays by the
// user's choice); its directory goes when nothing else is left in it. The
// queue deletes a directory's files one after the other, so the directory is
// listed once, at its first deletion, and its count is then kept by the
// deletions themselves: one less for every target that is gone afterwards.
// (A target that was never there makes it too low, never too high.) A
// count that says the directory may be empty is checked by listing the
// directory again before it is removed.
void AfterDelete(QueueCallbackContext* run, const FILEPATHS_A* paths)
{
    const char* target = paths->Target;
    char directory[MAX_PATH];
    QueueDirectoryOf(target, directory, sizeof(directory));
    if (std::strcmp(directory, run->lastDirectory) != 0) {
        BufSet(run->lastDirectory, sizeof(run->lastDirectory), directory);
        run->pendingCount = 0;
        run->entriesLeft = -1;
    }
    // A file whose delete error the user chose to skip stays as it is.
    const bool skipped = run->deletionSkipped;
    run->deletionSkipped = false;
    if (skipped || (KeptForGood(target) && RetryKeptDeletion(run, paths) != FILEOP_DOIT))
        return;
    const bool gone = !Exists(target);
    bool scheduled = false;
    if (!gone) {
        run->rebootNeeded->store(1);
        ++run->pendingCount;
        scheduled = xUtilDelayFileDelete(target) != 0;
        if (scheduled) {
            Remember(run, target);
        } else {
            DebugErrorPrint("setup: cannot delete %s at the next restart\n", target);
            DebugReportLastError();
        }
    }
    LogDeletion(target, run->deleteExisted, scheduled);
    // Never a drive's root ("C:").
    const size_t length = std::strlen(directory);
    if (length < 3 || directory[length - 1] == ':')
        return;
    if (run->entriesLeft < 0)
        run->entriesLeft = Exists(directory) ? CountDirectoryEntries(directory) : 0;
    else if (gone && run->entriesLeft > 0)
        --run->entriesLeft;
    if (run->entriesLeft > run->pendingCount || !Exists(directory))
        return;
    run->entriesLeft = CountDirectoryEntries(directory);
    if (run->entriesLeft != run->pendingCount)
        return;
    if (RemoveDirectoryA(directory)) {
        LogFolderRemoval(directory, true, 0);
    } else if (xUtilIsWinNT() && xUtilDelayMove(directory)) {
        Remember(run, directory);
        LogFolderRemoval(directory, false, run->pendingCount);
    }
}

// Before a copy: the folders the copy makes and the file it writes go into
// the installation journal.
void JournalTarget(const char* target)
{
    if (!JournalActive())
        return;
    char directory[MAX_PATH];
    QueueDirectoryOf(target, directory, sizeof(directory));
    JournalFolders(directory);
    JournalFile(target);
}

// A cabinet copied to its own name is placed as it is, not expanded.
UINT PlaceCabinet(QueueCallbackContext* run, const char* source, const char* target)
{
    char directory[MAX_PATH];
    QueueDirectoryOf(target, directory, sizeof(directory));
    CreateDirectoryPath(directory);
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    BOOL copied = CopyFileA(source, target, FALSE);
    const DWORD error = GetLastError();
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (copied || (InUse(error) && StageReplacement(run, source, target))) {
        run->requestedSource[0] = '\0';
        EndCopyNote(&run->copy);  // skipped for the Setup API: no end notification follows
        return FILEOP_SKIP;
    }
    DebugErrorPrint("setup: cannot copy %s to %s\n", source, target);
    DebugReportError(error);
    run->failure = error;
    run->copy.outcome = CopyOutcome::Failed;
    SetLastError(error);
    return FILEOP_ABORT;
}

// The platform asks for the medium of a source file (before the first copy
// from it, and again when that copy found no file).
UINT OnNeedMedia(QueueCallbackContext* run, const SOURCE_MEDIA_A* media, UINT_PTR param1, UINT_PTR param2)
{
    char source[MAX_PATH];
    char tag[MAX_PATH] = "";
    JoinPath(source, media->SourcePath, media->SourceFile);
    const bool tagged = media->Tagfile != nullptr && media->Tagfile[0] != '\0';
    if (tagged)
        JoinPath(tag, media->SourcePath, media->Tagfile);
    BufSet(run->cabinet, sizeof(run->cabinet), tagged && IsCabinetName(tag) ? tag : "");

    const bool repeated = std::strcmp(source, run->requestedSource) == 0;
    BufSet(run->requestedSource, sizeof(run->requestedSource), source);
    const bool present = Exists(source) || (tagged && Exists(tag));
    if (!repeated && (present || !run->unattended))
        return SetupDefaultQueueCallbackA(run->defaultContext, SPFILENOTIFY_NEEDMEDIA, param1, param2);
    return FailMissing(run, tagged && !Exists(tag) ? tag : source, ERROR_FILE_NOT_FOUND);
}

UINT OnCopyError(QueueCallbackContext* run, const FILEPATHS_A* paths, UINT_PTR param1, UINT_PTR param2)
{
    const DWORD error = paths->Win32Error;
    if (error == ERROR_ACCESS_DENIED && ClearReadOnly(paths->Target)) {
        run->requestedSource[0] = '\0';  // the retry asks for the medium again
        return FILEOP_DOIT;
    }
    if (InUse(error) && StageReplacement(run, paths->Source, paths->Target)) {
        run->requestedSource[0] = '\0';
        return FILEOP_SKIP;
    }
    if (Missing(error) && run->unattended)
        return FailMissing(run, paths->Source, error);
    DebugErrorPrint("setup: cannot copy %s to %s\n", paths->Source, paths->Target);
    DebugReportError(error);
    return FailOrAsk(run, SPFILENOTIFY_COPYERROR, param1, param2);
}

UINT OnDeleteError(QueueCallbackContext* run, const FILEPATHS_A* paths, UINT_PTR param1, UINT_PTR param2)
{
    const DWORD error = paths->Win32Error;
    if (error == ERROR_ACCESS_DENIED && ClearReadOnly(paths->Target))
        return FILEOP_DOIT;
    // A file a program holds is scheduled at the end of its deletion; a
    // file that is not there needs no deleting.
    if ((InUse(error) && !KeptForGood(paths->Target)) || Missing(error))
        return FILEOP_SKIP;
    DebugErrorPrint("setup: cannot delete %s\n", paths->Target);
    DebugReportError(error);
    const UINT answer = FailOrAsk(run, SPFILENOTIFY_DELETEERROR, param1, param2);
    run->deletionSkipped = answer == FILEOP_SKIP;  // the end of the deletion leaves the file
    return answer;
}

UINT OnRenameError(QueueCallbackContext* run, const FILEPATHS_A* paths, UINT_PTR param1, UINT_PTR param2)
{
    DebugErrorPrint("setup: cannot rename %s to %s\n", paths->Source, paths->Target);
    DebugReportError(paths->Win32Error);
    return FailOrAsk(run, SPFILENOTIFY_RENAMEERROR, param1, param2);
}

}  // namespace

UINT CALLBACK FileQueueCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2)
{
    BENCH_SPAN(kBenchQueueCallback);
    auto* run = static_cast<QueueCallbackContext*>(context);
    auto* paths = reinterpret_cast<const FILEPATHS_A*>(param1);
    // A failure found at the end of a deletion, whose answer the queue does
    // not take, ends the commit at the queue's next step.
    if (run->failure != 0 && StepStarts(notification))
        return FILEOP_ABORT;
    switch (notification) {
    case SPFILENOTIFY_STARTQUEUE:
        run->lastDirectory[0] = '\0';
        run->copyDirectory[0] = '\0';
        run->pendingCount = 0;
        run->entriesLeft = -1;
        break;
    case SPFILENOTIFY_ENDQUEUE:
        EndCopyNote(&run->copy);
        break;
    case SPFILENOTIFY_STARTDELETE:
        JournalFile(paths->Target);
        run->deleteExisted = RunLogOpened() && Exists(paths->Target);
        // The running program of a removal copy is moved out of the way
        // before the platform tries it (which would leave it, or delay it
        // itself, for the restart); the deletion then finds it gone.
        MoveImageAside(paths->Target);
        break;
    case SPFILENOTIFY_STARTRENAME:
        JournalFile(paths->Source);
        JournalFile(paths->Target);
        break;
    case SPFILENOTIFY_ENDDELETE:
        AfterDelete(run, paths);
        break;
    case SPFILENOTIFY_ENDRENAME:
        LogRename(paths->Source, paths->Target);
        break;
    case SPFILENOTIFY_DELETEERROR:
        return OnDeleteError(run, paths, param1, param2);
    case SPFILENOTIFY_RENAMEERROR:
        return OnRenameError(run, paths, param1, param2);
    case SPFILENOTIFY_STARTCOPY:
        JournalTarget(paths->Target);
        StartCopyNote(&run->copy, paths->Target);
        MakeCopyFolder(run, paths->Target);
        if (IsCabinetCopy(paths->Source, paths->Target))
            return PlaceCabinet(run, paths->Source, paths->Target);
        break;
    case SPFILENOTIFY_TARGETNEWER: {
        // Its paths may be another character set's (Wine passes them
        // unconverted): the copy under way is the one meant.
        const UINT copy = SetupDefaultQueueCallbackA(run->defaultContext, notification, param1, param2);
        if (!copy)
            run->copy.outcome = CopyOutcome::Kept;
        return copy;
    }
    case SPFILENOTIFY_ENDCOPY:
        run->requestedSource[0] = '\0';
        EndCopyNote(&run->copy);
        break;
    case SPFILENOTIFY_NEEDMEDIA:
        return OnNeedMedia(run, reinterpret_cast<const SOURCE_MEDIA_A*>(param1), param1, param2);
    case SPFILENOTIFY_COPYERROR:
        return OnCopyError(run, paths, param1, param2);
    default:
        break;
    }
    BENCH_SPAN(kBenchDefaultCallback);
    return SetupDefaultQueueCallbackA(run->defaultContext, notification, param1, param2);
}
