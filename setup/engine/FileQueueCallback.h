// The file-queue callback of an installation or removal run. Everything it
// does not handle goes to the Setup API's default callback, whose dialogs
// are owned by the page window and whose progress messages go to the page.
//
// What it handles itself, so that the run behaves alike on every platform:
// - a cabinet copied to its own name is placed on the disk byte for byte;
// - a file that cannot be deleted because a program holds it (open, mapped
//   or running) is scheduled for deletion at restart, and its directory is
//   removed once only such files are left in it (or scheduled too, when it
//   cannot be removed now);
// - a file that cannot be deleted for good (a read-only disk, rights the run
//   lacks, a folder by that name; also when the platform reported its
//   deletion done and the file stayed) is a delete error, below;
// - the running program of a removal copy is moved aside at the start of
//   its deletion (MoveAside.h), which then finds it gone;
// - a copy onto a file in use is staged beside it and replaces it at the
//   next restart;
// - a missing source file never makes the commit wait or loop: in an
//   unattended run it fails the commit at once; in an interactive run the
//   platform asks for it, and a request repeated for the same file fails;
// - any other copy, rename or delete error (a full disk, access denied on
//   a file that is not read-only) fails an unattended commit at once (one
//   found at the end of a deletion at the queue's next step); an
//   interactive one keeps the platform's dialog and its choice, and fails
//   when the file was skipped without anyone being asked;
// - a file to delete that is not there counts as deleted.
// Every file left for the restart sets the reboot-needed flag. The folders
// a copy needs are made here, before the Setup API would make them, so that
// each one made is known; the installation log (QueueLog.h) gets a line
// per copy, deletion, rename and folder.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include "QueueLog.h"

#include <atomic>
#include <string>
#include <vector>

// One commit's state, owned by the run for the duration of the commit.
struct QueueCallbackContext
{
    void* defaultContext = nullptr;     // the Setup API's default callback context for the page
    char lastDirectory[MAX_PATH] = {};  // directory of the last deleted file; emptied at queue start
    int pendingCount = 0;               // files of lastDirectory scheduled for deletion at restart
    // What lastDirectory holds after the deletions so far, counted once when
    // the first of its files was deleted and kept up to date from there;
    // -1 until then.
    int entriesLeft = -1;
    std::atomic<int>* rebootNeeded = nullptr;
    int unattended = 0;  // nobody can answer a prompt for a missing source file
    // The error the callback ended the commit with (0: none); the commit's
    // own last error is not reliable after the queue end notification.
    DWORD failure = 0;
    char requestedSource[MAX_PATH] = {};  // source of the last media request, until a copy is done
    char cabinet[MAX_PATH] = {};          // the cabinet of the last requested medium, or empty
    bool deletionSkipped = false;         // the user chose to skip the current file's delete error
    std::vector<std::string> pending;     // files and folders scheduled for deletion at the restart
    char copyDirectory[MAX_PATH] = {};    // the folder of the last copy, made when it was missing
    CopyNote copy;                        // the copy under way, for the installation log
    bool deleteExisted = false;           // the file of the deletion under way was there at its start
};

// The Setup API file-queue callback; `context` is a QueueCallbackContext.
UINT CALLBACK FileQueueCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2);
