// Which family of Windows the program runs on. Shared by both programs.
#pragma once

// True on the NT family (NT 4, 2000, XP and later); false on Windows
// 95/98/Me, and when the version cannot be read.
bool IsNtFamily();
