// The product versions of source files read in this run.
//
// One run asks for the same file's version up to four times: the
// newer-version check, the components page and the uninstall entries of the
// install section and of the product. For a file inside a cabinet each
// reading extracts the member to a temporary file first, which costs tens of
// milliseconds for a program of a megabyte. The reference tables therefore
// remember every reading here and take it from here the next time, as long
// as the file they would read is the same: the key names the file (the full
// path of a loose file; the cabinet's full path and the member's name) and
// its state (size and time of the last change of the loose file or the
// cabinet), so a changed file is read again. Any thread; the process keeps
// the readings until it ends.
#pragma once

#include <string>

// The key of a loose file (`member` null) or of a cabinet member; empty
// when the file or cabinet cannot be found (nothing is remembered for it).
std::string VersionSourceKey(const char* path, const char* member);

// Whether a reading of `key` is remembered; then `*hasVersion` tells whether
// the file had a version, and `*version` holds it.
bool RecallVersion(const std::string& key, bool* hasVersion, std::string* version);

// Remembers a reading of `key` (nothing for an empty key).
void RememberVersion(const std::string& key, bool hasVersion, const std::string& version);
