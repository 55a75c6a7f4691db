// Every message box of the setup program goes through ShowMessageBox, so
// that a test or an unattended run can observe and answer boxes instead of
// leaving a window nobody closes.
#pragma once

#include <windows.h>

// Answers a box instead of showing it; returns the button id (IDOK, IDYES...).
using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);

// Installs `hook` (nullptr: show real boxes again) and returns the previous
// one. Set it before boxes can appear; any thread may show boxes.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// The button a box answers when nobody is there to press one: its default
// button (MB_DEFBUTTON1 to 3; the first button when the type has fewer).
int DefaultMessageBoxAnswer(UINT type);

// Shows a message box (or asks the hook). Returns the button pressed.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Error box: `text`, followed by the system's message for `error` in
// `language` as "%s\r\n\r\n%s" when `error` is not 0. The system's default
// caption and the error icon. Returns 0.
int ErrorBox(HWND owner, const char* text, DWORD error, LANGID language);

// Failure box: `text` with caption string 1342 of `module` and an OK button.
// Returns the button pressed.
int FailureBox(HINSTANCE module, HWND owner, const char* text);
