// The installation log's line for every reason a run asks for a restart:
// "restart-needed SUBJECT  REASON", the subject being the file, folder,
// service, product, section or plug-in that asks. Written where the run's
// reboot-needed flag is set.
#pragma once

#include "RunLog.h"

inline void LogRestartReason(const char* subject, const char* reason)
{
    RunLogAction("restart-needed", subject, "%s", reason);
}
