// SEAM: the installation run is not part of this build yet. These entry
// points stand where it goes: they report at once that the run failed
// (ERROR_CALL_NOT_IMPLEMENTED), so the wizard's run pages show their
// failure. The change that brings the run removes this file.
#include "InstallRun.h"

#include "PageContext.h"
#include "SetupMessages.h"

namespace {

DWORD ReportNoRun(LPVOID page)
{
    SetupContext* context = PageContext(static_cast<HWND>(page));
    if (context && context->busy)
        context->busy->store(0);
    PostMessageA(static_cast<HWND>(page), WM_SETUP_DONE, 0, ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

}  // namespace

DWORD WINAPI InstallThread(LPVOID page)
{
    return ReportNoRun(page);
}

DWORD WINAPI RemoveThread(LPVOID page)
{
    return ReportNoRun(page);
}
