#include "RunOnceCommand.h"

#include "BufCopy.h"

#include <cstring>

size_t ComposeRunOnceCommand(char* command, size_t capacity, const char* program,
                             const char* arguments)
{
    if (capacity == 0)
        return 0;
    if (capacity > kRunOnceCommandMax + 1)
        capacity = kRunOnceCommandMax + 1;
    if (program == nullptr)
        program = "";
    if (arguments == nullptr || *arguments == '\0')
        return BufSet(command, capacity, program);

    bool quote = std::strchr(program, ' ') != nullptr && program[0] != '"';
    command[0] = '\0';
    if (quote)
        BufAppend(command, capacity, "\"");
    BufAppend(command, capacity, program);
    if (quote)
        BufAppend(command, capacity, "\"");
    BufAppend(command, capacity, " ");
    return BufAppend(command, capacity, arguments);
}
