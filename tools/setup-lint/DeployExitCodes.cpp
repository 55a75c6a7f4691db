#include "DeployExitCodes.h"

#include "ExitCodes.h"

const std::vector<DeployExitCode>& DeployExitCodes()
{
    static const std::vector<DeployExitCode> codes = {
        {kExitSuccess, "success", "installed or removed", nullptr},
        {kExitRestartNeeded, "success-restart-needed",
         "installed or removed; Windows must restart to finish (files in use are replaced or deleted then): "
         "count it a success and restart when the tool's rules allow",
         "rebootRequiredToFinish"},
        {kExitRestartStarted, "restart-started",
         "installed or removed, and setup.exe has started the restart of Windows (only with /reboot:2, which "
         "these commands do not use)",
         "rebootInitiated"},
        {kExitCancelled, "cancelled",
         "cancelled at the machine, or the question whether to replace a newer installed version was answered "
         "No: nothing more was done; not a failure of the medium",
         "cancelledByUser"},
        {kExitFailed, "failed",
         "failed or could not start (a broken medium, failed conditions, a file that cannot be copied); an "
         "installation's changes are undone, an older version is left as it was: read the log of /log: and "
         "setup.exe's debug log",
         "contactSupport"},
        {kExitAlreadyRunning, "in-progress",
         "another copy of the same setup.exe is running: nothing was done; try again later", "installInProgress"},
        {kExitOtherVersion, "other-version-installed",
         "a newer version of the product is installed and stays (/newer:keep): nothing was done; the machine "
         "has the product",
         "downgrade"},
        {kExitBadCommandLine, "invalid-command-line",
         "a switch has an invalid value (/target:, /newer:, /startapp:): nothing was done; correct the command",
         "invalidParameter"},
    };
    return codes;
}
