// Records of a traced build (SETUP_BENCH_TRACE); empty otherwise.
#include "BenchTrace.h"

#ifdef SETUP_BENCH_TRACE

#include "BenchTraceText.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

namespace {

const int kMaxMarks = 256;
const char* const kBucketNames[kBenchBucketCount] = {"queue-callback", "default-callback"};

struct MarkRecord
{
    const char* name;
    long long ticks;
};

// Each mark owns the slot its index gave it; BenchTraceWrite reads them
// after the run thread has ended.
MarkRecord g_marks[kMaxMarks];
std::atomic<int> g_markCount{0};
std::atomic<long long> g_bucketTicks[kBenchBucketCount];
std::atomic<long> g_bucketCalls[kBenchBucketCount];

long long Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

long long FileTimeValue(const FILETIME& time)
{
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// The system time as precisely as Windows tells it (Windows 8 and later
// have a precise clock; looked up so that older systems still start).
long long SystemTimeNow()
{
    using PreciseFn = VOID(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<PreciseFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now;
    if (precise)
        precise(&now);
    else
        GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

}  // namespace

void BenchTraceMark(const char* name)
{
    const int index = g_markCount.fetch_add(1);
    if (index < kMaxMarks)
        g_marks[index] = {name, Now()};
}

BenchTraceSpan::BenchTraceSpan(BenchBucket bucket) : bucket_(bucket), start_(Now())
{
}

BenchTraceSpan::~BenchTraceSpan()
{
    g_bucketTicks[bucket_] += Now() - start_;
    ++g_bucketCalls[bucket_];
}

void BenchTraceWrite()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("BENCH_TRACE_FILE", path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return;

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    // Now, in both clocks, against the creation time of the process.
    const long long ticksNow = Now();
    const long long systemNow = SystemTimeNow();
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const double nowMs = static_cast<double>(systemNow - FileTimeValue(created)) / 10000.0;

    static BenchTraceMarkTime marks[kMaxMarks];
    const int count = g_markCount.load() < kMaxMarks ? g_markCount.load() : kMaxMarks;
    for (int i = 0; i < count; ++i)
        marks[i] = {g_marks[i].name, nowMs - static_cast<double>(ticksNow - g_marks[i].ticks) / ticksPerMs};
    BenchTraceBucketTime buckets[kBenchBucketCount];
    for (int i = 0; i < kBenchBucketCount; ++i)
        buckets[i] = {kBucketNames[i], g_bucketCalls[i].load(), static_cast<double>(g_bucketTicks[i].load()) / ticksPerMs};
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof(program));
    const BenchTraceRun run = {program, marks, count, buckets, kBenchBucketCount,
                               static_cast<double>(FileTimeValue(user)) / 10000.0,
                               static_cast<double>(FileTimeValue(kernel)) / 10000.0};
    static char text[32768];
    const size_t size = FormatBenchTrace(text, sizeof(text), run);

    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}

#endif
