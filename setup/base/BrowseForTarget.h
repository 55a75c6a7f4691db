// The folder browser of the target-directory page.
#pragma once

#include <windows.h>

// Lets the user pick a file-system folder (title: string 1334 of the
// program). On a choice, `path` (260 bytes) receives the folder with
// `subFolder` appended by the rule of AppendSubFolder, and the result is 1.
// 0 when the user cancels or the choice has no file-system path; `path` is
// then unchanged.
int BrowseForTarget(HWND owner, char* path, const char* subFolder);
