// A real Windows service for the service tests: it runs until it is told to
// stop. Started with the argument "slow" it takes 8 s to stop, longer than
// the installer waits.
#include <windows.h>

#include <cstring>

namespace {

const DWORD kSlowStopMs = 8000;

SERVICE_STATUS_HANDLE statusHandle;
HANDLE stopEvent;
bool slow;

void Report(DWORD state, DWORD waitHint)
{
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwWaitHint = waitHint;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING, slow ? kSlowStopMs : 0);
        SetEvent(stopEvent);
        return NO_ERROR;
    }
    return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**)
{
    statusHandle = RegisterServiceCtrlHandlerExA("", Handler, nullptr);
    Report(SERVICE_RUNNING, 0);
    WaitForSingleObject(stopEvent, INFINITE);
    if (slow)
        Sleep(kSlowStopMs);
    Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    slow = argc > 1 && std::strcmp(argv[1], "slow") == 0;
    stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char name[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
