// String keys of a setup script that its [Strings] section does not define.
// The Setup API replaces every %key% of a field by the key's text from
// [Strings] and leaves a key it does not know as it stands: such a field is
// from a script that lost its strings (cut short) or misspelt one. Directory
// ids (%24%, %32768%: digits) and the installer's own %hwnd% are no string
// keys. Plain text; built and tested on the host.
#pragma once

#include <string>

// True when `field` (as the Setup API returns it) holds a %key% that is not
// a directory id nor %hwnd%; `key` then gets its name.
bool FindUndefinedStringKey(const char* field, std::string& key);
