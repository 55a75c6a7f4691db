#include "TextList.h"

#include <cstdlib>
#include <cstring>

namespace {

// Offset of the final empty text of a well-formed list.
size_t EndOffset(const char* list)
{
    size_t at = 0;
    while (list[at] != '\0')
        at += std::strlen(list + at) + 1;
    return at;
}

// As EndOffset, reading no byte at or past `capacity`; false when the list
// has no end inside its buffer.
bool FindEnd(const char* list, size_t capacity, size_t* end)
{
    size_t at = 0;
    while (at < capacity && list[at] != '\0') {
        const void* nul = std::memchr(list + at, '\0', capacity - at);
        if (nul == nullptr)
            return false;
        at = static_cast<size_t>(static_cast<const char*>(nul) - list) + 1;
    }
    if (at >= capacity)
        return false;
    *end = at;
    return true;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

template <typename Equal>
int Find(const char* list, const char* text, Equal equal)
{
    if (list == nullptr || text == nullptr)
        return -1;
    int index = 0;
    for (const char* entry = list; *entry != '\0'; entry += std::strlen(entry) + 1, ++index) {
        if (equal(entry, text))
            return index;
    }
    return -1;
}

}  // namespace

bool xUtilEqualNoCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Lower(*a) != Lower(*b))
            return false;
    }
    return *a == *b;
}

int xUtilListCount(const char* list)
{
    int count = 0;
    if (list != nullptr) {
        for (const char* entry = list; *entry != '\0'; entry += std::strlen(entry) + 1)
            ++count;
    }
    return count;
}

const char* xUtilListEntry(const char* list, int index)
{
    if (list == nullptr || index < 0)
        return nullptr;
    for (const char* entry = list; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (index-- == 0)
            return entry;
    }
    return nullptr;
}

int xUtilListFind(const char* list, const char* text)
{
    return Find(list, text, [](const char* a, const char* b) { return std::strcmp(a, b) == 0; });
}

int xUtilListFindNoCase(const char* list, const char* text)
{
    return Find(list, text, xUtilEqualNoCase);
}

size_t xUtilListSize(const char* list)
{
    size_t used = list != nullptr ? EndOffset(list) + 1 : 0;
    return used < 2 ? 2 : used;
}

int xUtilListInsert(char* list, size_t capacity, const char* text, int position)
{
    size_t end = 0;
    if (list == nullptr || text == nullptr || text[0] == '\0' || !FindEnd(list, capacity, &end))
        return 0;
    const size_t length = std::strlen(text) + 1;
    if (end + 1 + length > capacity)
        return 0;
    size_t at = 0;
    for (int i = 0; (position < 0 || i < position) && list[at] != '\0'; ++i)
        at += std::strlen(list + at) + 1;
    std::memmove(list + at + length, list + at, end + 1 - at);
    std::memcpy(list + at, text, length);
    return 1;
}

int xUtilListRemove(char* list, int index)
{
    char* entry = const_cast<char*>(xUtilListEntry(list, index));
    if (entry == nullptr)
        return 0;
    const size_t at = static_cast<size_t>(entry - list);
    const size_t length = std::strlen(entry) + 1;
    const size_t end = EndOffset(list);
    std::memmove(entry, entry + length, end + 1 - (at + length));
    return 1;
}

char* xUtilListAppend(char* list, size_t capacity, const char* text)
{
    size_t end = 0;
    if (list == nullptr || text == nullptr || text[0] == '\0' || !FindEnd(list, capacity, &end))
        return nullptr;
    const size_t length = std::strlen(text) + 1;
    if (end + length + 1 > capacity)
        return nullptr;
    std::memcpy(list + end, text, length);
    list[end + length] = '\0';
    return list;
}

int xUtilListAppendGrow(char** list, size_t* capacity, const char* text)
{
    if (text == nullptr || text[0] == '\0')
        return 0;
    const size_t used = *list != nullptr ? xUtilListSize(*list) : 2;
    const size_t needed = used + std::strlen(text) + 1;
    if (*list == nullptr || needed > *capacity) {
        // Doubling keeps a long series of appends linear.
        const size_t grownSize = needed * 2;
        char* grown = static_cast<char*>(std::realloc(*list, grownSize));
        if (grown == nullptr)
            return 0;
        if (*list == nullptr)
            grown[0] = grown[1] = '\0';
        *list = grown;
        *capacity = grownSize;
    }
    return xUtilListAppend(*list, *capacity, text) != nullptr ? 1 : 0;
}

char* xUtilTrim(char* text)
{
    if (text == nullptr)
        return text;
    size_t start = 0;
    while (IsWhite(text[start]))
        ++start;
    size_t length = std::strlen(text + start);
    while (length > 0 && IsWhite(text[start + length - 1]))
        --length;
    std::memmove(text, text + start, length);
    text[length] = '\0';
    return text;
}
