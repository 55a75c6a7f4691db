// Fuzzes the installer's command-line parser: nothing may fault, the quiet
// text and the product list stay terminated inside their buffers, the
// product list holds at most one entry, and the language is one of the
// fourteen codes or the default.
#include "SetupCommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string commandLine(reinterpret_cast<const char*>(data), size);
    SetupOptions options;
    options.language = 0;
    ParseSetupCommandLine(commandLine.c_str(), &options);

    if (!std::memchr(options.quietText, '\0', sizeof(options.quietText)))
        std::abort();
    size_t entry = strnlen(options.productList, sizeof(options.productList));
    if (entry + 1 >= sizeof(options.productList) || options.productList[entry + 1] != '\0')
        std::abort();
    if (options.quietText[0] && !options.quiet)
        std::abort();
    if (options.removeMode != 0 && options.removeMode != 1)
        std::abort();
    static const unsigned short kLanguages[] = {0,    1033, 1031, 1036, 1040, 10,   1043, 1045,
                                                1035, 1030, 1044, 2070, 1055, 1049, 1029};
    bool known = false;
    for (unsigned short language : kLanguages)
        known = known || language == options.language;
    if (!known)
        std::abort();
    return 0;
}
