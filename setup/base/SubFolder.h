// The sub-folder rule of the target-folder browser: the product's own
// sub-folder is appended to the chosen folder unless the chosen folder
// already is that sub-folder.
#pragma once

#include <cstddef>

// Appends `subFolder` (one leading backslash removed) to the path in `path`
// (`capacity` bytes), with a backslash between them unless the path ends in
// one. Nothing changes when the name is empty or equals the path's last
// component exactly (case counts). The result is cut to fit. Returns the
// length of the path.
size_t AppendSubFolder(char* path, size_t capacity, const char* subFolder);
