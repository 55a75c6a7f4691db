// Text lists: one buffer holding NUL-terminated 8-bit texts, ended by an
// empty text ("one\0two\0\0"). An empty list is a buffer whose first byte is
// NUL; an empty text inside a list ends it for every function here. Entries
// are numbered from 0. Plain text logic without windows.h.
//
// The list does not know its buffer's capacity: a caller that adds an entry
// grows the buffer first to xUtilListSize(list) + strlen(text) + 1 bytes and
// passes that capacity, which the adding functions check.
#pragma once

#include <cstddef>

// Number of entries; 0 for a null list.
int xUtilListCount(const char* list);

// The entry at `index`; null when the list is shorter (or `index` negative).
const char* xUtilListEntry(const char* list, int index);

// Index of the first entry equal to `text` (exact bytes), or -1; -1 for a
// null list.
int xUtilListFind(const char* list, const char* text);

// Whether two texts are equal with ASCII letters compared without regard to
// case.
bool xUtilEqualNoCase(const char* a, const char* b);

// As xUtilListFind, with ASCII letters compared without regard to case.
int xUtilListFindNoCase(const char* list, const char* text);

// Bytes the list occupies including its final empty text, counting at least
// 2 (an empty list is allocated as two NUL bytes).
size_t xUtilListSize(const char* list);

// Inserts `text` before the entry at `position`; a negative position, or
// one at or past the end, appends. `capacity` is the buffer's size in
// bytes. Returns 1, or 0 with the list unchanged when the text is empty (it
// would end the list) or the buffer is too small.
int xUtilListInsert(char* list, size_t capacity, const char* text, int position);

// Removes the entry at `index`. Returns 1 if it existed, else 0.
int xUtilListRemove(char* list, int index);

// Appends `text` as the last entry and terminates the list again. Returns
// the list, or null with the list unchanged when the text is empty or does
// not fit into `capacity` bytes.
char* xUtilListAppend(char* list, size_t capacity, const char* text);

// Appends `text` to the list in the malloc'd buffer `*list` of `*capacity`
// bytes, growing the buffer with realloc when it is too small; a null
// `*list` starts as the empty list. Returns 1, or 0 with the list unchanged
// when the text is empty or memory runs out.
int xUtilListAppendGrow(char** list, size_t* capacity, const char* text);

// Removes leading and trailing white space (blank, tab, CR, LF, vertical
// tab, form feed) in place; returns `text`.
char* xUtilTrim(char* text);
