#include "RunOnceCommand.h"

#include "BufCopy.h"
#include "CommandQuoting.h"

#include <string>

size_t ComposeRunOnceCommand(char* command, size_t capacity, const char* program,
                             const char* arguments)
{
    if (capacity == 0)
        return 0;
    command[0] = '\0';
    std::string text = QuoteProgramPath(program != nullptr ? program : "");
    if (arguments != nullptr && *arguments != '\0') {
        text += ' ';
        text += arguments;
    }
    if (text.size() > kRunOnceCommandMax || text.size() >= capacity)
        return 0;
    return BufSet(command, capacity, text.c_str());
}
