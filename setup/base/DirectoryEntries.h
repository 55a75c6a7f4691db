// Counting what a folder holds.
#pragma once

// Number of files and sub-folders in `directory`, without "." and "..";
// 0 when it cannot be listed.
int CountDirectoryEntries(const char* directory);
