// A lock for data that two threads share, and its scope guard.
//
// On Windows it is a critical section: the programs then need no threading
// runtime from the compiler, whose posix flavour imports functions that
// Windows 95 to XP lack (GetTickCount64, vectored exception handlers), so the
// release build would not load there. On the host, where the text logic is
// tested, it is a std::mutex.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

class CLock
{
public:
#ifdef _WIN32
    CLock() { InitializeCriticalSection(&section_); }
    ~CLock() { DeleteCriticalSection(&section_); }
    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }
#else
    CLock() = default;
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
#endif
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
#ifdef _WIN32
    CRITICAL_SECTION section_;
#else
    std::mutex mutex_;
#endif
};

// Holds a CLock for the lifetime of the guard.
class CLockGuard
{
public:
    explicit CLockGuard(CLock& lock) : lock_(lock) { lock_.Enter(); }
    ~CLockGuard() { lock_.Leave(); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    CLock& lock_;
};
