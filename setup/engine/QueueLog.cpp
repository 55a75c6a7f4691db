#include "QueueLog.h"

#include "BufCopy.h"
#include "RestartNeeded.h"
#include "RunLog.h"

namespace {

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

const char* CopyDetail(const CopyNote& note)
{
    switch (note.outcome) {
    case CopyOutcome::Copied: return note.existed ? "replaced" : "new";
    case CopyOutcome::Kept: return "kept: the installed file has a newer version";
    case CopyOutcome::Skipped: return "skipped";
    case CopyOutcome::AtRestart: return "replaced at the next restart (in use)";
    case CopyOutcome::Failed: break;
    }
    return "failed";
}

}  // namespace

void StartCopyNote(CopyNote* note, const char* target)
{
    EndCopyNote(note);
    if (!RunLogOpened())
        return;
    BufSet(note->target, sizeof(note->target), target);
    note->existed = Exists(target);
    note->outcome = CopyOutcome::Copied;
    note->open = true;
}

void EndCopyNote(CopyNote* note)
{
    if (!note->open)
        return;
    note->open = false;
    RunLogAction("copy", note->target, "%s", CopyDetail(*note));
    if (note->outcome == CopyOutcome::AtRestart)
        LogRestartReason(note->target, "the file is in use: the new one replaces it at the next restart");
}

void LogDeletion(const char* target, bool existed, bool scheduled)
{
    if (!RunLogOpened())
        return;
    if (!Exists(target)) {
        RunLogAction("delete", target, "%s", existed ? "now" : "it was not there");
    } else if (scheduled) {
        RunLogAction("delete", target, "at the next restart (in use)");
        LogRestartReason(target, "the file is in use: it is deleted at the next restart");
    } else {
        RunLogAction("delete", target, "failed: it stays");
    }
}

void LogFolderRemoval(const char* folder, bool now, int waitingInside)
{
    RunLogAction("remove-folder", folder, "%s", now ? "now" : "at the next restart");
    if (!now && waitingInside == 0)
        LogRestartReason(folder, "the folder is in use: it is removed at the next restart");
}

void LogRename(const char* source, const char* target)
{
    if (RunLogOpened())
        RunLogAction("rename", target, "%s %s", Exists(target) ? "from" : "not renamed from", source);
}
