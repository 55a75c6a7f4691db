// The default target directory of a script: `DefaultDestDir` of the
// standard `DestinationDirs` section, where directory identifier 24 stands
// for the program-files folder.
#include "BufCopy.h"
#include "PageRules.h"
#include "RegistryLookups.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "WizardPages.h"

namespace {

const char kDestinationDirs[] = "DestinationDirs";
const char kDefaultDestDir[] = "DefaultDestDir";
const int kProgramFilesId = 24;

}  // namespace

void DefaultDirectory(HINF script, char* path, char* subDir)
{
    path[0] = subDir[0] = '\0';
    char id[32] = "";
    const bool hasLine = FindLine(script, kDefaultDestDir, kDestinationDirs, 1, id, sizeof(id));
    if (hasLine)
        FindLine(script, kDefaultDestDir, kDestinationDirs, 2, subDir, MAX_PATH);
    char programFiles[MAX_PATH] = "";
    if (hasLine && ScriptDecimal(id) == kProgramFilesId && GetProgramFilesDir(programFiles)) {
        ComposeDefaultDirectory(programFiles, subDir, path, MAX_PATH);
        return;
    }
    if (!SetupGetTargetPathA(script, nullptr, nullptr, path, MAX_PATH, nullptr))
        path[0] = '\0';
}
