#include "BufCopy.h"

#include <cstdio>
#include <cstring>

size_t BufSet(char* dst, size_t capacity, const char* src)
{
    if (capacity == 0)
        return 0;
    size_t n = 0;
    if (src != nullptr) {
        while (n + 1 < capacity && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
    return n;
}

size_t BufSet(char* dst, size_t capacity, const std::string& src)
{
    if (capacity == 0)
        return 0;
    size_t n = src.size() < capacity - 1 ? src.size() : capacity - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
    return n;
}

size_t BufAppend(char* dst, size_t capacity, const char* src)
{
    if (capacity == 0)
        return 0;
    size_t length = 0;
    while (length < capacity && dst[length] != '\0')
        ++length;
    if (length == capacity) {
        dst[capacity - 1] = '\0';
        return capacity - 1;
    }
    return length + BufSet(dst + length, capacity - length, src);
}

int BufFormatV(char* dst, size_t capacity, const char* format, va_list args)
{
    if (capacity == 0)
        return 0;
    int needed = std::vsnprintf(dst, capacity, format, args);
    if (needed < 0) {
        dst[0] = '\0';
        return -1;
    }
    return static_cast<size_t>(needed) < capacity ? needed : static_cast<int>(capacity - 1);
}

int BufFormat(char* dst, size_t capacity, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = BufFormatV(dst, capacity, format, args);
    va_end(args);
    return n;
}
