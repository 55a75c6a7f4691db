// The installation log's lines of the file queue: what became of each copy,
// deletion and rename, written as the Setup API reports it done, and the
// restart-needed lines of what waits for the restart. Nothing is written
// (and nothing looked up) when no log is open.
#pragma once

#include <windows.h>

// What became of a copy.
enum class CopyOutcome {
    Copied,     // written: "new", or "replaced" when a file was there at the start
    Kept,       // the Setup API kept the installed file, which has a newer version
    Skipped,    // an error the run goes on after (someone chose to skip it)
    AtRestart,  // the target is in use: the new file replaces it at the next restart
    Failed,     // the run stops here
};

// One copy from its start notification to its end. A copy that is skipped
// or ends the commit may get no end notification: the next start, or the
// end of the queue, ends its note then.
struct CopyNote
{
    char target[MAX_PATH] = {};
    bool open = false;
    bool existed = false;  // the target was there at the copy's start
    CopyOutcome outcome = CopyOutcome::Copied;
};

// Ends an open note of an earlier copy, then opens one for `target`.
void StartCopyNote(CopyNote* note, const char* target);

// Writes the open note's line "copy TARGET  new|replaced|kept: ...|..."
// once and closes it.
void EndCopyNote(CopyNote* note);

// "delete TARGET  now", "... at the next restart (in use)", "... it was
// not there" or "... failed: it stays"; the restart-needed line of a file
// that waits for the restart. `existed`: the target was there at the
// deletion's start; `scheduled`: a file still there was scheduled for
// deletion at the restart.
void LogDeletion(const char* target, bool existed, bool scheduled);

// "remove-folder FOLDER  now" or "... at the next restart"; a folder that
// waits although nothing in it does (`waitingInside` 0) is in use itself
// and gets a restart-needed line.
void LogFolderRemoval(const char* folder, bool now, int waitingInside);

// "rename TARGET  from SOURCE", or "... not renamed" when the target is
// not there after the rename.
void LogRename(const char* source, const char* target);
