// Message boxes of an unattended run: nobody is there to answer them, so
// they are answered with their default button and their text goes to the
// debug log instead of the screen.
#pragma once

#include <windows.h>

// A MessageBoxHook (MessageBoxes.h): writes caption, text and answer to the
// debug log at the error level and returns DefaultMessageBoxAnswer(type).
int AnswerUnattended(HWND owner, const char* text, const char* caption, UINT type);
