// The libraries a setup script names for setup.exe to load from its own
// folder: the plug-ins of `Plugins` keys and the libraries of the condition
// sections that `Conditions` keys name (Plugins.h, Conditions.h).
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <string>
#include <vector>

// Adds to `names`, in the order found and each once (letters compared
// without regard to case), the library of every listing of `section`'s
// `Plugins` key and field 1 of every line of the sections its `Conditions`
// key names. Names are taken as written (a folder in a name stays).
void AddNamedLibraries(HINF script, const char* section, std::vector<std::string>* names);
