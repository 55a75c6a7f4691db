#include "StringKeys.h"

#include <cstring>

bool FindUndefinedStringKey(const char* field, std::string& key)
{
    for (const char* open = std::strchr(field, '%'); open != nullptr;) {
        const char* close = std::strchr(open + 1, '%');
        if (close == nullptr)
            return false;
        const std::string name(open + 1, close);
        const bool digits = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
        if (!name.empty() && !digits && name != "hwnd" && name.find_first_of(" \t") == std::string::npos) {
            key = name;
            return true;
        }
        // "%24%\x%": the closing sign may open the next key.
        open = name.empty() || digits || name == "hwnd" ? std::strchr(close + 1, '%') : close;
    }
    return false;
}
