// The command line stored for a program that runs once at the next log-on.
#pragma once

#include <cstddef>

// Longest command the run-once entry holds, without the terminator.
constexpr size_t kRunOnceCommandMax = 255;

// Writes the command for `program` with `arguments` into `command`
// (`capacity` bytes): the program path, in double quotes when it holds a
// blank and is not quoted already (Windows parses the value as a command
// line, and would try the pieces of an unquoted path first), then a blank
// and the arguments when there are any. A command longer than
// kRunOnceCommandMax characters (or than `capacity` allows) is refused, not
// cut: a cut command runs another program or other arguments. Returns the
// length, or 0 (with `command` empty) when refused.
size_t ComposeRunOnceCommand(char* command, size_t capacity, const char* program,
                             const char* arguments);
