#include "BenchTraceText.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends `line` when it fits together with the closing lines ("cut\nend\n").
bool AppendLine(char* out, size_t size, size_t* length, const char* line)
{
    const size_t reserve = sizeof("cut\nend\n");
    const size_t add = std::strlen(line);
    if (*length + add + reserve > size)
        return false;
    std::memcpy(out + *length, line, add + 1);
    *length += add;
    return true;
}

}  // namespace

size_t FormatBenchTrace(char* out, size_t size, const BenchTraceRun& run)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    if (size < sizeof("cut\nend\n"))
        return 0;
    size_t length = 0;
    char line[400];
    std::snprintf(line, sizeof(line), "run %s\n", run.program ? run.program : "");
    bool whole = AppendLine(out, size, &length, line);
    for (int i = 0; whole && i < run.markCount; ++i) {
        std::snprintf(line, sizeof(line), "mark %.3f %s\n", run.marks[i].ms, run.marks[i].name);
        whole = AppendLine(out, size, &length, line);
    }
    for (int i = 0; whole && i < run.bucketCount; ++i) {
        std::snprintf(line, sizeof(line), "bucket %s %ld %.3f\n", run.buckets[i].name, run.buckets[i].calls,
                      run.buckets[i].ms);
        whole = AppendLine(out, size, &length, line);
    }
    if (whole) {
        std::snprintf(line, sizeof(line), "cpu %.1f %.1f\n", run.cpuUserMs, run.cpuKernelMs);
        whole = AppendLine(out, size, &length, line);
    }
    // The reserve kept room for both closing lines.
    if (!whole) {
        std::memcpy(out + length, "cut\n", 5);
        length += 4;
    }
    std::memcpy(out + length, "end\n", 5);
    return length + 4;
}
