#include "DeploymentSwitches.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "MessageBoxes.h"
#include "PageRules.h"
#include "RunLog.h"
#include "TextList.h"
#include "resource.h"

namespace {

// A drive letter mapped to a share is a network path, as on the target page.
bool OnNetworkDrive(const char* path)
{
    const char root[] = {path[0], ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_REMOTE;
}

}  // namespace

bool SwitchValuesUsable(SetupOptions* options, HINSTANCE module)
{
    const char* name = options->badSwitch;
    const char* reason = options->badReason;
    if (name[0] == '\0' && options->targetGiven) {
        reason = TargetSwitchProblem(options->target);
        if (reason == nullptr && OnNetworkDrive(options->target))
            reason = "it is on a network drive (only folders of this machine's drives can be chosen)";
        name = reason != nullptr ? "/target:" : "";
    }
    if (name[0] == '\0')
        return true;
    DebugErrorPrint("setup: the value of %s cannot be used: %s; nothing is done\n", name, reason);
    if (!options->quiet) {
        char format[512] = "";
        LoadStringA(module, IDS_BAD_SWITCH, format, sizeof(format));
        char text[1024] = "";
        BufFormat(text, sizeof(text), format, name);
        FailureBox(module, nullptr, text);
    }
    return false;
}

void StartRunRecords(const SetupOptions& options)
{
    if (options.logPath[0] != '\0')
        RunLogOpen(options.logPath);
    for (int i = 0; const char* token = xUtilListEntry(options.ignored, i); ++i) {
        DebugPrint(kDebugError, "setup: switch ignored: %s\n", token);
        RunLogPrint("switch ignored: %s", token);
    }
}
