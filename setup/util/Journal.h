// The journal of an installation run: from the first change on, each change
// is recorded before it is made, so that a failed run, or the next start
// after a killed one, can undo them in reverse order and leave the machine
// as it was.
//
// Each run writes its own journal file in a folder of its own below the
// Windows folder's "VantorSetupJournal" folder, which only administrators
// may write to (users cannot make folders in the Windows folder, so nobody
// can prepare one for it); copies of files the run replaces or deletes are
// kept beside it. The run holds its journal open without write sharing
// while it lives: a journal that can be opened for reading alone belongs
// to a run that has ended without finishing it. Every record is one write,
// made before its change; the journal is read up to its last whole record.
//
// What cannot be undone (a program that ran) is only noted. An undo that
// fails is logged and the next record follows. A file that cannot be put
// back or removed now (it is in use) is at the next restart, which the
// caller then asks for.
//
// One run at a time per process; records come from the run's thread.
#pragma once

#include <windows.h>

// Starts the journal of an installation run. False when it cannot be
// written: the run then goes on without one (a debug-log line says so).
bool JournalBegin();

// Whether a journal is being written (the record functions do nothing
// without one).
bool JournalActive();

// Before a file is written, replaced or deleted: a new file is noted as
// created; an existing one is copied aside, to be put back.
void JournalFile(const char* path);

// A file the run has just made under a name it could not know before (a
// temporary file): undo deletes it.
void JournalNewFile(const char* path);

// Before the folder `path` is made with the folders above it: each of them
// that is missing, from the top down.
void JournalFolders(const char* path);

// Before registry key `key` of `root` is created (or a value below it
// written): its uppermost missing key. Before value `name` (null or "" the
// default value) is written or deleted: its type and data, or that it is
// absent.
void JournalKey(HKEY root, const char* key);
void JournalValue(HKEY root, const char* key, const char* name);

// Before an INI entry is written or deleted: its text, or that it is absent.
void JournalIniEntry(const char* file, const char* section, const char* entry);

// Services: before one is created; before one is changed (its start type,
// binary path and display name are kept); before one is stopped.
void JournalServiceCreated(const char* name);
void JournalServiceChanged(const char* name);
void JournalServiceStopped(const char* name);

// A firewall entry added for `program`; a program that ran (cannot be undone).
void JournalFirewallAdded(const char* program);
void JournalProgramRan(const char* program);

// Removes the firewall entry of `program` when a rollback undoes one; set
// by the layer that owns the firewall. True when removed.
using JournalFirewallUndo = bool (*)(const char* program);
void JournalSetFirewallUndo(JournalFirewallUndo undo);

// A failed run: undoes the journal in reverse order, logs each undo and a
// summary, and removes the journal. `restartNeeded` is set when a file
// waits for the restart. Nothing without a journal.
void JournalRollback(bool* restartNeeded);

// A successful run: the journal and its copies are removed.
void JournalFinish();

// At start-up: undoes every journal whose run ended without finishing it
// (killed, or the machine went down), logs that, and removes it. Journals
// of runs that still live are left alone. `restartNeeded` as above.
void JournalRecover(bool* restartNeeded);
