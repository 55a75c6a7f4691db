#include "NamedLibraries.h"

#include "PluginLists.h"
#include "PluginText.h"
#include "ScriptLines.h"
#include "TextList.h"

namespace {

void AddName(const char* name, std::vector<std::string>* names)
{
    if (name[0] == '\0')
        return;
    for (const std::string& known : *names) {
        if (xUtilEqualNoCase(known.c_str(), name))
            return;
    }
    names->push_back(name);
}

}  // namespace

void AddNamedLibraries(HINF script, const char* section, std::vector<std::string>* names)
{
    if (section == nullptr || section[0] == '\0')
        return;
    INFCONTEXT key;
    // As the collection reads them: the field cut to its first characters.
    char text[kPluginParameterSize];
    if (SetupFindFirstLineA(script, section, "Plugins", &key)) {
        for (DWORD field = 1; ReadScriptField(&key, field, text, sizeof(text)); ++field) {
            text[kPluginFieldMax] = '\0';
            char library[MAX_PATH];
            SplitPluginField(text, library, sizeof(library));
            AddName(library, names);
        }
    }
    if (!SetupFindFirstLineA(script, section, "Conditions", &key))
        return;
    for (DWORD field = 1; ReadScriptField(&key, field, text, sizeof(text)); ++field) {
        INFCONTEXT line;
        for (BOOL more = SetupFindFirstLineA(script, text, nullptr, &line); more;
             more = SetupFindNextLine(&line, &line)) {
            char library[MAX_PATH];
            if (ReadScriptField(&line, 1, library, sizeof(library)))
                AddName(library, names);
        }
    }
}
