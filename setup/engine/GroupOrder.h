// The service group load order: the REG_MULTI_SZ value "List" of
// HKLM\System\CurrentControlSet\Control\ServiceGroupOrder. Plain text logic
// without windows.h; the registry side is in Services.cpp.
#pragma once

#include <cstddef>
#include <string>

// Places `group` in the group list `list` (`bytes` bytes of the value as
// stored: texts each ended by NUL, the list ended by an empty text; every
// text up to the value's last byte counts, also behind an empty text inside,
// and a value whose final terminators are missing is read up to its end) and
// returns the new list, without empty texts inside and with its final empty
// text, ready to be stored.
//
// A `group` already in the list (exact comparison) is taken out first, so it
// is moved, never duplicated. `position` names the reference group, led by
// an optional sign: "-Ref" places the group right after Ref, "+Ref" or "Ref"
// right before it. When Ref is not in the list, "-" places it at the end and
// "+" or no sign at the front; an empty position therefore means the front,
// a lone "-" the end. Every other entry stays, in order, whatever the
// list's length. An empty `group` leaves the list as it is.
std::string PlaceServiceGroup(const char* list, size_t bytes, const char* group, const char* position);
