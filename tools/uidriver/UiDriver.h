// Drives a wizard of another process from outside, as a user would: find the
// sheet, read controls, click, press the wizard buttons, wait for conditions.
// Plain dialogs and message boxes too: find them, read caption and text,
// press their buttons. Runs beside the program under the same Wine server
// (or Windows session).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uidriver {

enum class WizardButton { Back, Next, Finish, Cancel };

// The visible top-level property sheet of process `processId` (0: of any
// process), or nullptr.
HWND FindWizard(DWORD processId);

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// Waits for FindWizard(processId) to succeed; nullptr after `timeoutMs`.
HWND WaitForWizard(DWORD processId, DWORD timeoutMs);

HWND CurrentPage(HWND sheet);
int PageCount(HWND sheet);
int CurrentPageIndex(HWND sheet);

// A control of the current page, or nullptr.
HWND PageControl(HWND sheet, int controlId);

// Window text, read through the window's owner (works across processes).
std::string Text(HWND window);
// Text of control `controlId` of the current page ("" when it does not exist).
std::string ControlText(HWND sheet, int controlId);
bool IsShown(HWND window);     // the window and all its parents are visible
bool IsEnabled(HWND window);
bool IsChecked(HWND button);

// Clicks a control of the current page (like a mouse click; toggles check
// boxes). False when the control does not exist.
bool Click(HWND sheet, int controlId);

// Selects item `index` of the drop-down list `controlId` of the current page
// and tells the page, as a user's choice would. False when there is no such
// control or item.
bool SelectComboItem(HWND sheet, int controlId, int index);

// Presses a wizard button. The press is posted: the sheet acts on it after
// this returns.
void Press(HWND sheet, WizardButton button);
HWND ButtonWindow(HWND sheet, WizardButton button);
bool ButtonEnabled(HWND sheet, WizardButton button);

// Human-readable state: page index and count, the buttons, and the current
// page's visible controls with their texts.
std::string Describe(HWND sheet);

// Presses Cancel on `sheet` and waits up to `timeoutMs` until the process
// that shows it has ended (a program started by another, such as the
// program a setup starts at its end). False when it is still running.
bool CancelAndWaitForEnd(HWND sheet, DWORD timeoutMs);

// ---- Plain dialogs and message boxes ----------------------------------------

// The visible top-level dialog (class "#32770", not a property sheet) of
// process `processId` (0: of any process), or nullptr. Message boxes and the
// folder browser are such dialogs.
HWND FindDialog(DWORD processId);

// Waits for FindDialog(processId) to succeed; nullptr after `timeoutMs`.
HWND WaitForDialog(DWORD processId, DWORD timeoutMs);

// The texts of the dialog's visible static controls, in window order, joined
// by line breaks: for a message box, its message. The caption is Text(dialog).
std::string DialogText(HWND dialog);

struct DialogButton
{
    int id;
    std::string text;
    bool enabled;
};

// The dialog's visible push buttons in window order.
std::vector<DialogButton> DialogButtons(HWND dialog);

// Id of the button whose text equals `text` without regard to case and to
// the "&" mnemonic marks ("ok", "yes", "&No"); 0 when there is none.
int FindDialogButton(HWND dialog, const std::string& text);

// Presses button `id` of the dialog as a click would (a posted command, so
// this returns at once; a message box then closes with that answer). False
// when the dialog has no such enabled button.
bool PressDialogButton(HWND dialog, int id);

// Human-readable state: caption, text and buttons.
std::string DescribeDialog(HWND dialog);

// ---- Screen -------------------------------------------------------------------

// Saves what the screen shows in `area` (screen coordinates) as a 24-bit BMP
// file. False when the picture cannot be taken or written.
bool SaveScreenArea(const RECT& area, const std::string& path);

// Saves what the screen shows as a 24-bit BMP file (with a display driver
// that draws, such as Wine's under Xvfb; the null driver draws nothing).
// False when the picture cannot be taken or written.
bool SaveScreenshot(const std::string& path);

}  // namespace uidriver
