#include "WorkerThread.h"

#include <process.h>

namespace {

struct StartRecord
{
    CWorkerThread::Entry entry;
    void* param;
};

unsigned __stdcall ThreadMain(void* arg)
{
    StartRecord record = *static_cast<StartRecord*>(arg);
    delete static_cast<StartRecord*>(arg);
    try {
        return record.entry(record.param);
    } catch (...) {
        return 0;
    }
}

}  // namespace

CWorkerThread::~CWorkerThread()
{
    Wait();
}

bool CWorkerThread::Start(Entry entry, void* param)
{
    Wait();
    auto* record = new StartRecord{entry, param};
    uintptr_t handle = _beginthreadex(nullptr, 0, ThreadMain, record, 0, nullptr);
    if (handle == 0) {
        delete record;
        return false;
    }
    thread_ = reinterpret_cast<HANDLE>(handle);
    return true;
}

bool CWorkerThread::IsRunning() const
{
    return thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT;
}

void CWorkerThread::Wait()
{
    if (!thread_)
        return;
    for (;;) {
        DWORD result = MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1)
            break;  // the thread ended (or the wait failed: do not spin on it)
        // Any PeekMessage call delivers the messages sent to this thread;
        // PM_NOREMOVE leaves posted ones queued. (The PM_QS_* filters are
        // unknown to Windows 95 and NT 4.)
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
}
