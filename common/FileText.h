// Whole-file reads of the text files the programs ship beside themselves
// (the modem definition file, the location list). On Windows through the
// Win32 file functions, as the rest of the programs read and write files;
// on the host, where the text logic is tested, through the C library.
#pragma once

#include <string>

// Reads every byte of the file at `path` into `text`, as stored (no line-end
// or character-set translation). Other programs may have the file open for
// reading or writing. False, with `text` empty, when the file cannot be
// opened or a read fails.
bool ReadFileText(const std::string& path, std::string& text);
