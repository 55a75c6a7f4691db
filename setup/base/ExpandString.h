// Texts assembled from several resource strings. Inside a string, "%%" is a
// single "%", "%n" is string n, "%+n" and "%-n" are the strings n after and
// before the string's own id; a missing string counts as empty and inserted
// texts are not scanned again. Any other "%" stays as it is.
//
// Builds without windows.h: the string table is reached through a lookup
// function, so the host tests can stand in for the program's resources.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Looks up resource string `id`. Returns false (and leaves `text` alone)
// when the string does not exist.
using StringLookup = std::function<bool(unsigned id, std::string* text)>;

// String `id` with its placeholders replaced; empty when it does not exist.
std::string ExpandResourceString(unsigned id, const StringLookup& lookup);

// The expanded string cut to `size` - 1 characters and terminated (nothing
// is written when `size` is 0). Returns the length of the result.
size_t ExpandResourceStringInto(unsigned id, const StringLookup& lookup, char* buffer, size_t size);
