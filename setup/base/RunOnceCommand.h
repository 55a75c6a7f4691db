// The command line stored for a program that runs once at the next log-on.
#pragma once

#include <cstddef>

// Longest command the run-once entry holds, without the terminator.
constexpr size_t kRunOnceCommandMax = 255;

// Writes the command for `program` with `arguments` into `command`
// (`capacity` bytes, at most kRunOnceCommandMax characters used). Without
// arguments it is the program path as given; with arguments the path is put
// in double quotes when it holds a blank (and is not quoted already), then
// a blank and the arguments follow. Longer commands are cut. Returns the
// length.
size_t ComposeRunOnceCommand(char* command, size_t capacity, const char* program,
                             const char* arguments);
