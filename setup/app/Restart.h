// Restarting Windows at the end of a setup run.
#pragma once

#include <windows.h>

// Asks Windows to restart now, without asking the user. Windows 9x: the
// restart request alone. NT family: enables the shutdown privilege of the
// process first, with the privilege functions looked up at run time in
// advapi32; when one is missing or the process token cannot be opened,
// nothing happens. Returns the restart request's result (non-zero when
// Windows accepted it), 0 when nothing was requested.
int ForceRestart();

// After the wizard, for a run that needs a restart: reboot mode 2 restarts
// at once (ForceRestart); reboot mode 1 asks with the Setup API's restart
// prompt (no file queue, owned by `owner`) — except in an unattended run,
// where nobody could answer it; other modes do nothing. Returns true when a
// restart was started.
bool RestartAfterRun(HWND owner, int rebootMode, bool unattended);
