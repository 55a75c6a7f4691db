#include "ScriptSections.h"

#include "BufCopy.h"
#include "ScriptLines.h"
#include "ScriptTrace.h"
#include "SectionChoice.h"

int ChooseSections(HINF script, ScriptSections* sections)
{
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof(os);
    GetVersionExA(&os);
    const WindowsVersionInfo version = {os.dwPlatformId == VER_PLATFORM_WIN32_NT, os.dwMajorVersion,
                                        os.dwMinorVersion};
    const auto hasLines = [script](const char* name) { return SectionHasLines(script, name); };
    BufSet(sections->install, sizeof(sections->install), ChooseSection(version, kInstallColumn, hasLines));
    BufSet(sections->remove, sizeof(sections->remove), ChooseSection(version, kRemoveColumn, hasLines));
    BufSet(sections->products, sizeof(sections->products), ChooseSection(version, kProductsColumn, hasLines));
    ScriptTrace("script sections for Windows %lu.%lu: %s, %s, %s\n", os.dwMajorVersion, os.dwMinorVersion,
                sections->install, sections->remove, sections->products);
    return 1;
}
