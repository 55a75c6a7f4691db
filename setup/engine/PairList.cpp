#include "PairList.h"

#include "TextList.h"

#include <cstdlib>
#include <cstring>

void PairListClear(PairList* pairs)
{
    if (pairs->texts != nullptr && pairs->capacity >= 2)
        pairs->texts[0] = pairs->texts[1] = '\0';
}

int PairListAdd(PairList* pairs, const char* key, const char* directory)
{
    if (key[0] == '\0' || directory[0] == '\0')
        return 0;
    const size_t used = pairs->texts ? xUtilListSize(pairs->texts) : 2;
    const size_t needed = used + std::strlen(key) + 1 + std::strlen(directory) + 1;
    if (needed > pairs->capacity) {
        const size_t capacity = needed * 2;
        char* grown = static_cast<char*>(std::realloc(pairs->texts, capacity));
        if (grown == nullptr)
            return 0;
        if (pairs->texts == nullptr)
            grown[0] = grown[1] = '\0';
        pairs->texts = grown;
        pairs->capacity = capacity;
    }
    xUtilListAppend(pairs->texts, pairs->capacity, key);
    xUtilListAppend(pairs->texts, pairs->capacity, directory);
    return 1;
}

const char* PairListFind(const PairList* pairs, const char* key)
{
    const int index = xUtilListFindNoCase(pairs->texts, key);
    return index < 0 ? nullptr : xUtilListEntry(pairs->texts, index + 1);
}

void PairListFree(PairList* pairs)
{
    std::free(pairs->texts);
    pairs->texts = nullptr;
    pairs->capacity = 0;
}
