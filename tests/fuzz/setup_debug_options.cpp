// Fuzzes the debug log's option parser and list splitter: input is a command
// line, optionally followed by a NUL and the DEBUG variable's value. Nothing
// may fault, no list may hold an empty item or more items than its text has
// commas plus one, and the chosen level is always 0 to 3.
#include "DebugOptions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void CheckList(const std::vector<std::string>& items, const std::string& source)
{
    size_t commas = 0;
    for (char c : source)
        commas += c == ',' ? 1 : 0;
    if (items.size() > commas + 1)
        std::abort();
    for (const std::string& item : items) {
        if (item.empty() || item.size() > source.size())
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string commandLine = input.substr(0, nul);
    const bool hasVariable = nul != std::string::npos;
    const std::string variable = hasVariable ? input.substr(nul + 1) : std::string();

    for (const DebugOption& option : DebugParseOptions(commandLine.c_str())) {
        if (!option.hasValue && !option.value.empty())
            std::abort();
        if (option.hasName) {
            CheckList(option.value, commandLine);
        } else if (option.value.size() > 1 || (!option.value.empty() && option.value[0].empty())) {
            std::abort();
        }
    }
    CheckList(DebugSplitList(variable), variable);

    const DebugSetup setup = DebugChooseSetup(commandLine.c_str(), hasVariable ? variable.c_str() : nullptr);
    if (setup.level < 0 || setup.level > 3)
        std::abort();
    CheckList(setup.sinks, input);
    if (setup.toDebugPipe && (!setup.toStdout || !setup.sinks.empty()))
        std::abort();
    return 0;
}
