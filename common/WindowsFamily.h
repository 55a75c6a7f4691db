// Which family of Windows the program runs on. Shared by both programs.
#pragma once

// False on Windows 95/98/Me (the version record's platform says so); true on
// the NT family (NT 4, 2000, XP and later) and in every other case, also
// when the version cannot be read.
bool IsNtFamily();
