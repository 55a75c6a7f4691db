#include "GroupOrder.h"

#include <cstring>
#include <vector>

std::string PlaceServiceGroup(const char* list, size_t bytes, const char* group, const char* position)
{
    // Every text of the value up to its last byte: an empty text inside
    // (the usual end mark) does not hide the groups stored behind it.
    std::vector<std::string> entries;
    size_t at = 0;
    while (list != nullptr && at < bytes) {
        const void* end = std::memchr(list + at, '\0', bytes - at);
        const size_t length = end ? static_cast<const char*>(end) - (list + at) : bytes - at;
        if (length > 0)
            entries.emplace_back(list + at, length);
        at += length + 1;
    }

    if (group[0] != '\0') {
        std::vector<std::string> kept;
        for (std::string& entry : entries) {
            if (entry != group)
                kept.push_back(std::move(entry));
        }
        entries.swap(kept);

        const bool after = position[0] == '-';
        const char* reference = (position[0] == '-' || position[0] == '+') ? position + 1 : position;
        size_t found = entries.size();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] == reference) {
                found = i;
                break;
            }
        }
        size_t insertAt;
        if (after)
            insertAt = found < entries.size() ? found + 1 : entries.size();
        else
            insertAt = found < entries.size() ? found : 0;
        entries.insert(entries.begin() + insertAt, group);
    }

    std::string result;
    for (const std::string& entry : entries) {
        result += entry;
        result += '\0';
    }
    result += '\0';
    if (entries.empty())
        result += '\0';  // an empty list is stored as two NULs
    return result;
}
