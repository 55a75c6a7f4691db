// What the wizard's pages share: the property-sheet messages they send,
// skipping, the busy mark of the run pages, the run threads, the status
// texts, and the wizard's record of how it ended. Main thread only.
//
// Every page procedure receives the setup context as its page parameter
// (PROPSHEETPAGE.lParam). A page that is to be shown keeps it with its
// window (SetPageContext); a page without a kept context skips itself.
#pragma once

#include "PageContext.h"
#include "SetupContext.h"

#include <windows.h>

#include <commctrl.h>

// The context handed to the page at WM_INITDIALOG (the system's copy of
// the page record carries it).
SetupContext* InitialContext(LPARAM initLParam);

HWND SheetOf(HWND page);

// True in unattended operation (the quiet value is present).
bool Unattended(const SetupContext* context);

// PSM_SETWIZBUTTONS with PSWIZB_* flags (0: none).
void SetButtons(HWND page, DWORD buttons);

// Posts PSM_PRESSBUTTON (PSBTN_NEXT, PSBTN_FINISH, PSBTN_CANCEL), so that
// the press happens after the current notification.
void PressButton(HWND page, int button);

void EnableCancel(HWND page, bool enable);

// Answers the current notification (PSN_*) with `result`; returns TRUE
// for the dialog procedure.
INT_PTR Answer(HWND page, LONG_PTR result);

// Sets `font` on control `id` of `page` when both exist.
void SetControlFont(HWND page, int id, HFONT font);

// Loads string `id` of the context's module.
void LoadPageString(const SetupContext* context, UINT id, char* buffer, int size);

void ShowControl(HWND page, int id, bool show);

// The busy mark of the ready and removal pages: 1 while their run thread
// works (kept in the window's user data, set by BeginRun, cleared by
// EndRun).
bool Busy(HWND page);

// Next on a run page: no buttons, no Cancel, the busy mark set, and
// `thread` (InstallThread or RemoveThread) started for `page`. When the
// thread cannot start, the page receives WM_SETUP_DONE with the error as if
// the run had failed.
void BeginRun(HWND page, LPTHREAD_START_ROUTINE thread);

// WM_SETUP_DONE on a run page: the thread is waited for and the busy mark
// cleared. Success (returns true) jumps to page `nextPage`. Failure shows
// string `failedText` with the error code in an error box, clears control
// `statusControl`, offers `buttons` and Cancel again; in unattended
// operation it ends the wizard, since nobody is there to try again. The
// outcome goes to the debug log (level 2, "wizard: done SUCCESS ERROR").
bool EndRun(HWND page, const SetupContext* context, WPARAM success, LPARAM error, int nextPage, UINT failedText,
            int statusControl, DWORD buttons);

// Waits for a run thread that may still work (the page is destroyed).
void EndRunThread(HWND page);

// The text of WM_SETUP_STATUS `code` on the installation page (`removal`
// false) or the removal page; 0 for a code that clears the status line.
// The code is also written to the debug log (level 2, "wizard: status N
// 0"), so that a log shows how far a run got.
UINT NoteRunStatus(int code, bool removal);

// Brings the sheet to the top after a run (the run may have started
// windows of its own).
void BringSheetToTop(HWND page);

// How the wizard's runs went and whether it was finished, for the outcome
// of ShowWizard.
void ResetWizardRecord();
void NoteRunEnded(bool success);
void NoteWizardFinished();
bool LastRunFailed();
bool AnyRunSucceeded();
bool WizardFinished();
