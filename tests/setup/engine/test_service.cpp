// A real Windows service for the service tests: it runs until it is told to
// stop. With the argument "slow" it takes 8 s to stop, longer than the
// installer waits. A copy under another name is a planted program: started,
// it leaves "<its path>.ran" and ends.
#include <windows.h>

#include <cstring>

namespace {

SERVICE_STATUS_HANDLE statusHandle;
HANDLE stopEvent;
DWORD stopMs;

void Report(DWORD state)
{
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state, 0, NO_ERROR, 0, 0, stopMs};
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(stopEvent);
    }
    return control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR
                                                                                       : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**)
{
    statusHandle = RegisterServiceCtrlHandlerExA("", Handler, nullptr);
    Report(SERVICE_RUNNING);
    WaitForSingleObject(stopEvent, INFINITE);
    Sleep(stopMs);
    Report(SERVICE_STOPPED);
}

}  // namespace

int main(int argc, char** argv)
{
    char self[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof(self) - 8);
    const char* base = std::strrchr(self, '\\');
    if (length > 0 && base != nullptr && lstrcmpiA(base + 1, "test_service.exe") != 0) {
        std::strcat(self, ".ran");
        CloseHandle(CreateFileA(self, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return 0;
    }
    stopMs = argc > 1 && std::strcmp(argv[1], "slow") == 0 ? 8000 : 0;
    stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    char name[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
