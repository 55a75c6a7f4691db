// The text of one traced run (BenchTrace.h), as the benchmark's summary
// script reads it: one block per run, appended to the trace file.
//
//   run <program path>
//   mark <ms since the process was created> <name>      one per mark, in order
//   bucket <name> <calls> <ms>                          one per bucket
//   cpu <user ms> <kernel ms>                           the process's CPU time
//   end
#pragma once

#include <cstddef>

struct BenchTraceMarkTime
{
    const char* name;
    double ms;
};

struct BenchTraceBucketTime
{
    const char* name;
    long calls;
    double ms;
};

struct BenchTraceRun
{
    const char* program;  // the program file's path (several builds may share one trace file)
    const BenchTraceMarkTime* marks;
    int markCount;
    const BenchTraceBucketTime* buckets;
    int bucketCount;
    double cpuUserMs;
    double cpuKernelMs;
};

// Writes the block into `out` (`size` bytes, always terminated). Lines that
// do not fit are left out whole, and the block then ends with "cut" before
// "end". Returns the length written.
size_t FormatBenchTrace(char* out, size_t size, const BenchTraceRun& run);
