// A worker thread started for a wizard page.
#pragma once

#include <windows.h>

class CWorkerThread
{
public:
    using Entry = unsigned (*)(void* param);

    CWorkerThread() = default;
    ~CWorkerThread();  // waits for a running worker
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Runs entry(param) on a new thread with normal priority and the default
    // stack size. A worker started earlier is waited for first, so two
    // workers never run at once. False when the thread cannot be created.
    bool Start(Entry entry, void* param);

    bool IsRunning() const;

    // Waits until the worker has ended. While waiting, messages that other
    // threads send to this thread's windows are handled (a worker may be inside
    // SendMessage to a page), posted messages stay queued. Call it only on the
    // thread that owns those windows, or on a thread that has none.
    void Wait();

private:
    HANDLE thread_ = nullptr;
};
