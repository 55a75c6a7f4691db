#include "FileQueueCallback.h"

#include "BenchTrace.h"
#include "BufCopy.h"
#include "DebugLog.h"
#include "DirectoryEntries.h"
#include "MoveAside.h"
#include "QueueText.h"
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
    run->failure = error;
    SetLastError(error);
    return FILEOP_ABORT;
}

// Creates `directory` and the directories above it that are missing.
void CreateDirectoryPath(const char* directory)
{
    char path[MAX_PATH];
    const size_t length = BufSet(path, sizeof(path), directory);
    // From behind "C:\" on; a doubled backslash starts a network path.
    for (size_t at = 3; at < length; ++at) {
        if (path[at] == '\\' && path[at - 1] != '\\') {
            path[at] = '\0';
            CreateDirectoryA(path, nullptr);
            path[at] = '\\';
        }
    }
    CreateDirectoryA(path, nullptr);
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

// After each deletion: a file still there is scheduled for deletion at
// restart; its directory goes when nothing else is left in it. The queue
// deletes a directory's files one after the other, so the directory is
// listed once, at its first deletion, and its count is then kept by the
// deletions themselves: one less for every target that is gone afterwards.
// (A target that was never there makes it too low, never too high.) A
// count that says the directory may be empty is checked by listing the
// directory again before it is removed.
void AfterDelete(QueueCallbackContext* run, const char* target)
{
    char directory[MAX_PATH];
    QueueDirectoryOf(target, directory, sizeof(directory));
    if (std::strcmp(directory, run->lastDirectory) != 0) {
        BufSet(run->lastDirectory, sizeof(run->lastDirectory), directory);
        run->pendingCount = 0;
        run->entriesLeft = -1;
    }
    const bool gone = !Exists(target);
    if (!gone) {
        run->rebootNeeded->store(1);
        ++run->pendingCount;
        if (xUtilDelayFileDelete(target)) {
            Remember(run, target);
        } else {
            DebugErrorPrint("setup: cannot delete %s at the next restart\n", target);
            DebugReportLastError();
        }
    }
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
    if (!RemoveDirectoryA(directory) && xUtilIsWinNT() && xUtilDelayMove(directory))
        Remember(run, directory);
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
        return FILEOP_SKIP;
    }
    DebugErrorPrint("setup: cannot copy %s to %s\n", source, target);
    DebugReportError(error);
    run->failure = error;
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
        if (answer != FILEOP_SKIP || g_platformAsked)
            return answer;
    }
    DebugErrorPrint("setup: the run stops\n");
    run->failure = error;
    SetLastError(error);
    return FILEOP_ABORT;
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
    // A file in use is scheduled at the end of its deletion; a file that
    // is not there needs no deleting.
    if (InUse(error) || Missing(error))
        return FILEOP_SKIP;
    DebugErrorPrint("setup: cannot delete %s\n", paths->Target);
    DebugReportError(error);
    return FailOrAsk(run, SPFILENOTIFY_DELETEERROR, param1, param2);
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
    switch (notification) {
    case SPFILENOTIFY_STARTQUEUE:
        run->lastDirectory[0] = '\0';
        run->pendingCount = 0;
        run->entriesLeft = -1;
        break;
    case SPFILENOTIFY_STARTDELETE:
        // The running program of a removal copy is moved out of the way
        // before the platform tries it (which would leave it, or delay it
        // itself, for the restart); the deletion then finds it gone.
        MoveImageAside(paths->Target);
        break;
    case SPFILENOTIFY_ENDDELETE:
        AfterDelete(run, paths->Target);
        break;
    case SPFILENOTIFY_DELETEERROR:
        return OnDeleteError(run, paths, param1, param2);
    case SPFILENOTIFY_RENAMEERROR:
        return OnRenameError(run, paths, param1, param2);
    case SPFILENOTIFY_STARTCOPY:
        if (IsCabinetCopy(paths->Source, paths->Target))
            return PlaceCabinet(run, paths->Source, paths->Target);
        break;
    case SPFILENOTIFY_ENDCOPY:
        run->requestedSource[0] = '\0';
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
