// Loading plug-in and condition libraries from the program's directory and
// looking up their exports.
#pragma once

#include <windows.h>

#include <cstddef>

// The program's directory (with its backslash) followed by `name`. False,
// with `path` empty, when the result does not fit into `size` bytes: a cut
// path would name another file.
bool PluginLibraryPath(const char* name, char* path, size_t size);

// The library at the full `path` (LoadLibraryByPath: its imports may come
// from its own folder, the medium), without the system's error boxes (a
// missing or broken DLL must not stop an unattended run). Null when it
// cannot be loaded.
HMODULE LoadPluginModule(const char* path);

// The library exports GetVersionNumber and it returns 1 or less (signed).
bool PassesVersionGate(HMODULE module);

// The export `name` of `module` as a function of type `Function`; null
// when missing.
template <typename Function>
Function PluginExport(HMODULE module, const char* name)
{
    // Through the generic function type, which converts to any other
    // without a cast-function-type warning.
    using Generic = void (*)();
    return reinterpret_cast<Function>(reinterpret_cast<Generic>(GetProcAddress(module, name)));
}
