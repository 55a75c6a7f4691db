#include "ScriptSections.h"

#include "BufCopy.h"
#include "ScriptLines.h"
#include "ScriptTrace.h"
#include "SectionChoice.h"
#include "WindowsVersion.h"

int ChooseSections(HINF script, ScriptSections* sections)
{
    const RunningWindows running = QueryRunningWindows();
    const WindowsVersionInfo version = {running.nt, running.major, running.minor};
    const auto hasLines = [script](const char* name) { return SectionHasLines(script, name); };
    BufSet(sections->install, sizeof(sections->install), ChooseSection(version, kInstallColumn, hasLines));
    BufSet(sections->remove, sizeof(sections->remove), ChooseSection(version, kRemoveColumn, hasLines));
    BufSet(sections->products, sizeof(sections->products), ChooseSection(version, kProductsColumn, hasLines));
    ScriptTrace("script sections for Windows %u.%u: %s, %s, %s\n", running.major, running.minor,
                sections->install, sections->remove, sections->products);
    return 1;
}
