// The running program of a removal that runs from its copy. The installed
// setup.exe that the uninstall entry started waits for its copy, which
// does the removal (RemovalCopyText.h): Windows cannot delete a program's
// file while it runs, but it can rename it within its volume. So instead of
// leaving it, and the folder around it, for the next restart, the copy
// moves it into its own folder, which goes at the next restart anyway.
#pragma once

// Names the program (`image`, a full path) and the copy's folder (`folder`,
// without a trailing backslash). Called on the main thread before the run
// starts; empty texts (as at the program's start) turn the move off.
void SetImageToMoveAside(const char* image, const char* folder);

// At the start of the file queue's deletion of `target`: when it is the
// named program, renames it into the copy's folder under a new name (never
// to another volume: a running program's file could not be copied away).
// Done before the platform tries the deletion, which on Windows may delay
// a file in use itself instead of reporting an error. True when moved: the
// file is gone from its folder, and no restart is needed for it.
bool MoveImageAside(const char* target);
