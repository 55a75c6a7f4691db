// Fuzzes the check of the medium's cabinets: any bytes, also a cabinet cut
// or damaged anywhere, are read within their bounds (the input lies in a heap
// buffer of exactly its size, so AddressSanitizer sees a stray read) and
// give the same verdict twice.
#include "CabinetCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
    if (copy == nullptr)
        return 0;
    if (size != 0)
        std::memcpy(copy, data, size);
    std::string first, second;
    const bool whole = CheckCabinet(copy, size, first);
    if (whole != CheckCabinet(copy, size, second) || first != second || whole != first.empty())
        std::abort();
    std::free(copy);
    return 0;
}
