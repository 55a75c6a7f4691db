// Phase and callback times of one setup run, for the benchmark (make bench
// BENCH_TRACE=1). Only a build configured with SETUP_BENCH_TRACE=ON records
// anything; in every other build the macros below are empty and cost
// nothing.
//
// BENCH_MARK("name") notes the time of a point of the run (any thread).
// BENCH_SPAN(bucket) times the enclosing scope into one of the buckets
// (calls and total time). BenchTraceWrite() appends everything, as
// milliseconds since the process was created, to the file that the
// environment variable BENCH_TRACE_FILE names (nothing without it); the
// program calls it once, as its last act, so writing costs the run nothing.
#pragma once

enum BenchBucket : int {
    kBenchQueueCallback,    // FileQueueCallback, whole
    kBenchDefaultCallback,  // the Setup API's default callback inside it
    kBenchBucketCount
};

#ifdef SETUP_BENCH_TRACE

void BenchTraceMark(const char* name);
void BenchTraceWrite();

// Adds the time from construction to destruction to `bucket`.
class BenchTraceSpan
{
public:
    explicit BenchTraceSpan(BenchBucket bucket);
    ~BenchTraceSpan();
    BenchTraceSpan(const BenchTraceSpan&) = delete;
    BenchTraceSpan& operator=(const BenchTraceSpan&) = delete;

private:
    BenchBucket bucket_;
    long long start_;
};

#define BENCH_MARK(name) BenchTraceMark(name)
#define BENCH_SPAN_JOIN2(a, b) a##b
#define BENCH_SPAN_JOIN(a, b) BENCH_SPAN_JOIN2(a, b)
#define BENCH_SPAN(bucket) BenchTraceSpan BENCH_SPAN_JOIN(benchSpan, __LINE__)(bucket)
#define BENCH_WRITE() BenchTraceWrite()

#else

#define BENCH_MARK(name) ((void)0)
#define BENCH_SPAN(bucket) ((void)0)
#define BENCH_WRITE() ((void)0)

#endif
