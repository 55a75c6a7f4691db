// The section lists and counts of an installation or removal run, built
// from the product list (a text list of product keys) and the products lines
// of the script. Plain logic without windows.h: the script is reached
// through a look-up function.
#pragma once

#include <cstddef>

// Reads field `field` (2 install section, 3 remove section, 4 flags) of the
// products line of `key` into `buffer` (`size` bytes). Returns 0 when the
// key has no products line or the line no such field.
typedef int (*ProductLineField)(void* script, const char* key, int field, char* buffer, size_t size);

// Whether the uninstall entry of `key` exists.
typedef int (*ProductRegistered)(const char* key);

// Longest section name kept from a products line (longer ones are cut).
enum : size_t { kRunSectionNameSize = 256 };

// The run section list of an installation: `installSection`, then field 2
// of the products line of every key of `productList` in order; keys without
// a line or with an empty field add nothing. The list is written to the
// malloc'd buffer `*list` of `*capacity` bytes (null: none yet), which is
// emptied first and grown as needed. Returns 1, or 0 when memory runs out.
int BuildInstallSections(char** list, size_t* capacity, const char* installSection, const char* productList,
                         ProductLineField field, void* script);

// The run section list of a removal: field 3 of the products line of every
// key of `productList` in order, then `removeSection` when `remaining` (the
// registered products this removal leaves in place) is 0. As above.
int BuildRemoveSections(char** list, size_t* capacity, const char* removeSection, const char* productList,
                        int remaining, ProductLineField field, void* script);

// Rewrites the selection flags of the global component list for a removal:
// an entry is selected when its key is in `productList` (without regard to
// case), otherwise cleared. Returns the number of entries that are
// registered and not selected: the products that stay installed.
int SelectProductsToRemove(const char* productList, ProductRegistered isRegistered);

// The restart check after a successful run: the number of keys of
// `productList` whose flags (field 4, decimal) have the restart value 4, plus
// 1 when `rebootField` (field 1 of the install section's `Reboot` line; null
// without one) is a non-zero decimal number.
int CountRestartRequests(const char* productList, const char* rebootField, ProductLineField field, void* script);
