// Every message box of the modem test goes through ShowMessageBox, so that a
// test can watch and answer it instead of a window nobody would close.
//
// Thread safety: may be called from any thread (the port-scan worker shows
// one); the handler is swapped atomically.
#pragma once

#include <windows.h>

// Receives the box's text, caption and MB_* style and returns the button
// that was "pressed" (IDOK ...).
using MessageBoxHandler = int (*)(const char* text, const char* caption, UINT type);

// Installs `handler` in place of MessageBoxA; nullptr restores MessageBoxA.
void SetMessageBoxHandler(MessageBoxHandler handler);

// MessageBoxA(owner, text, caption, type) or, when installed, the handler.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// The same, for a run nobody may be watching: the box closes by itself with
// its default button (IDOK for MB_OK) after `closeAfterMs`, unless it was
// answered before. Runs the box's modal loop on the calling thread.
int ShowClosingMessageBox(HWND owner, const char* text, const char* caption, UINT type, DWORD closeAfterMs);
