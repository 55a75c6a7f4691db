// Fuzzes the modem test's command-line parser: any text must parse without
// fault, no value may run past its terminator (a blank or a slash), and a
// report switch never goes with a refused command line.
#include "CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const CommandLineOptions options = ParseCommandLine(text);
    for (const std::string* value : {&options.port, &options.phoneNumber, &options.logName, &options.reportName}) {
        if (value->find_first_of("/ ") != std::string::npos || value->size() > text.size())
            std::abort();
    }
    if (options.mode != StartMode::Automatic &&
        !(options.port.empty() && options.phoneNumber.empty() && options.logName.empty()))
        std::abort();
    // A report name makes a run of any command line.
    if (options.mode == StartMode::BadCommandLine && (options.report || !options.reportName.empty()))
        std::abort();
    return 0;
}
