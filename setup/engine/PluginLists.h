// The program-wide plug-in state between collection and release: the
// loaded libraries, the steps and the page sets, each in collection order.
// Filled and released on the main thread; the run thread reads the step
// list while the wizard waits for it (nothing changes after collection).
#pragma once

#include "PluginInterface.h"

#include <memory>
#include <vector>

// The pages one listing of a library offers at one level.
struct PluginPageSet
{
    int level;            // 0 to 9
    int count;            // more than 0
    HMODULE module;
    INFCONTEXT scriptLine;  // the `Plugins` line and the field of the listing
    DWORD field;
};

// A library named by a listing, loaded once per path. `module` is null
// when it could not be loaded.
struct PluginLibrary
{
    char path[MAX_PATH];
    HMODULE module;
};

std::vector<std::unique_ptr<PluginStep>>& PluginSteps();
std::vector<PluginPageSet>& PluginPageSets();
std::vector<PluginLibrary>& PluginLibraries();

// Buffer of the listing texts read again after collection: the whole field
// up to 1023 characters.
enum : size_t { kPluginParameterSize = 1024 };

// The parameter text of the listing at field `field` of the line at
// `scriptLine`, read again from the script (the field up to 1023
// characters; the parameter cut to `size`): the text after the field's
// first ":", "" when it has none or the field cannot be read.
void ReadPluginParameter(const INFCONTEXT* scriptLine, DWORD field, char* parameter, size_t size);
