// Registration of the common control classes, shared by both programs.
#pragma once

// Registers the Windows 95 common control classes. InitCommonControlsEx
// exists only from comctl32 4.70 on, so it is looked up at run time; an
// older library gets InitCommonControls, which registers the same classes.
void InitCommonControlClasses();
