// Bounded copies into fixed character buffers. Every function takes the
// destination's capacity in bytes (terminator included), never writes past
// it, and always leaves the destination terminated when the capacity is not 0.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Copies `src` (at most capacity - 1 characters) into `dst`. Returns the
// number of characters copied; the copy is cut when `src` is longer.
size_t BufSet(char* dst, size_t capacity, const char* src);
size_t BufSet(char* dst, size_t capacity, const std::string& src);

// Appends `src` behind the text already in `dst`, cut to fit. Returns the
// new length. A `dst` that holds no terminator within `capacity` is first
// terminated at capacity - 1.
size_t BufAppend(char* dst, size_t capacity, const char* src);

// printf-style formatting cut to fit. Returns the length written (not the
// length the full text would have needed); -1 and an empty `dst` on a
// formatting error.
int BufFormat(char* dst, size_t capacity, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
int BufFormatV(char* dst, size_t capacity, const char* format, va_list args);

// True when `src` fits into a buffer of `capacity` bytes with its terminator.
inline bool BufFits(size_t capacity, const char* src)
{
    size_t n = 0;
    while (src[n] != '\0') {
        if (++n >= capacity)
            return false;
    }
    return capacity > 0;
}
