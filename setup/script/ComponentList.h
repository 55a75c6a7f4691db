// The global component list: the products of the setup script that
// qualified when the products section was read, in script order, each with
// its selection flag. Plain logic without windows.h.
//
// One program-wide list. The main thread fills it before the wizard runs;
// the component page and the removal thread change selection flags while
// the other thread waits (the wizard's buttons are disabled during a run).
// Plug-ins hold pointers to selection flags: they stay valid until the list
// is cleared.
#pragma once

#include <cstddef>

// Longest product key kept; longer keys are cut.
enum : size_t { kComponentNameMax = 1023 };

void ComponentListClear();

// Appends an entry. Returns 1, or 0 when memory runs out.
int ComponentListAdd(const char* name, int selected);

int ComponentListCount();

// The entry's name (cut to `size`) and selection flag (either output may be
// null). 0 for an index outside the list.
int ComponentListGet(int index, char* name, size_t size, int* selected);

// The entry's name; null for an index outside the list.
const char* ComponentListName(int index);

// The address of the entry's selection flag (for plug-ins); null for an
// index outside the list.
int* ComponentListSelectedFlag(int index);

// 0 for an index outside the list.
int ComponentListSetSelected(int index, int value);

// Sets the flag of the first entry whose name equals `name` (ASCII letters
// without regard to case). Returns whether there was one.
int ComponentListSetSelectedByName(const char* name, int value);
