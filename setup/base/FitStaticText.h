// Growing or shrinking a static text control to the height its text needs.
#pragma once

#include <windows.h>

constexpr unsigned kFitKeepDialogSize = 1;  // the dialog keeps its height
constexpr unsigned kFitKeepOthers = 2;      // no other control moves

// Sets `text` on control `controlId` of `dialog` when given, measures the
// control's text in its font with word wrapping at its width, and resizes
// the control to that height. The dialog grows or shrinks by the same
// difference, and the controls in `moveIds` (zero-terminated; nullptr: every
// control after it in the window order) move down or up by it, unless
// `flags` says otherwise. Returns the difference in pixels (0 when the
// control does not exist).
int FitStaticText(HWND dialog, int controlId, const char* text, const int* moveIds, unsigned flags);
