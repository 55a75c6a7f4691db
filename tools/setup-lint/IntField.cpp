#include "IntField.h"

#include <cerrno>
#include <cstdlib>

std::optional<int32_t> SetupIntField(const std::string& field)
{
    if (field.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(field.c_str(), &end, 0);
    if (end == field.c_str() || *end != '\0') return std::nullopt;
    if (value > INT32_MAX || (errno == ERANGE && value > 0)) return INT32_MAX;
    if (value < INT32_MIN || errno == ERANGE) return INT32_MIN;
    return static_cast<int32_t>(value);
}
