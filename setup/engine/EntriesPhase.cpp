#include "EntriesPhase.h"

#include "RunLog.h"
#include "SectionEntries.h"

#include <vector>

namespace {

// The parts of a section the phase asks the Setup API for.
const UINT kEntryFlags = SPINST_INIFILES | SPINST_REGISTRY | SPINST_INI2REG;

}  // namespace

int WriteSectionEntries(HWND page, HINF script, const char* section)
{
    // Read before the section is applied: what its lines name, not what
    // the registry holds afterwards.
    std::vector<SectionEntry> entries;
    if (RunLogOpened())
        entries = ReadSectionEntries(script, section);
    if (!SetupInstallFromInfSectionA(page, script, section, kEntryFlags, nullptr, nullptr, 0, nullptr, nullptr,
                                     nullptr, nullptr)) {
        const DWORD error = GetLastError();
        RunLogPrint("the INI and registry entries of [%s] failed (error %lu)", section, error);
        SetLastError(error);
        return 0;
    }
    for (const SectionEntry& entry : entries) {
        char detail[1024];
        SectionEntryDetail(entry, detail, sizeof(detail));
        if (detail[0] != '\0')
            RunLogAction(entry.action, entry.subject.c_str(), "%s", detail);
        else
            RunLogAction(entry.action, entry.subject.c_str());
    }
    return 1;
}
