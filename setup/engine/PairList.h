// The product/directory pair list of a setup run: a text list alternating a
// key (a product key or the global uninstall key name) and that key's own
// directory. The setup context owns it for the whole run; directory recall
// and assignment rebuild it, the uninstall registration reads it. Plain text
// logic without windows.h.
#pragma once

#include <cstddef>

struct PairList
{
    char* texts = nullptr;  // malloc'd text list; null until the first pair
    size_t capacity = 0;    // bytes allocated for `texts`
};

// Empties the list (its buffer stays allocated).
void PairListClear(PairList* pairs);

// Appends `key` and `directory`, growing the buffer as needed. Returns 1, or
// 0 with the list unchanged when either text is empty or memory runs out.
int PairListAdd(PairList* pairs, const char* key, const char* directory);

// The text that follows the first text of the list (keys and directories
// alike) equal to `key` without regard to case; null when there is none.
const char* PairListFind(const PairList* pairs, const char* key);

// Releases the buffer; the list is empty afterwards.
void PairListFree(PairList* pairs);
