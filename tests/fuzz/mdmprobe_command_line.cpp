// Fuzzes the modem test's command-line parser: any text must parse without
// fault, and no value may run past its terminator (a blank or a slash).
#include "CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CommandLineOptions options = ParseCommandLine(text);
    for (const std::string* value : {&options.port, &options.phoneNumber, &options.logName}) {
        if (value->find_first_of("/ ") != std::string::npos || value->size() > text.size())
            std::abort();
    }
    if (options.mode != StartMode::Automatic &&
        !(options.port.empty() && options.phoneNumber.empty() && options.logName.empty()))
        std::abort();
    return 0;
}
