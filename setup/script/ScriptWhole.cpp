#include "ScriptWhole.h"

#include "BufCopy.h"
#include "ComponentList.h"
#include "ScriptLines.h"
#include "StringKeys.h"

#include <string>

namespace {

// Keys whose fields name sections of the script.
const char* const kSectionKeys[] = {"CopyFiles", "DelFiles",  "RenFiles", "AddReg",       "DelReg",    "UpdateInis",
                                    "MakeIcons", "DelIcons", "Exec",     "FileSecurity", "Conditions"};
// Keys of an install section whose fields the installer reads itself.
const char* const kReadKeys[] = {"Uninstall", "StartApp"};

constexpr size_t kFieldSize = 1024;

int Missing(char* what, size_t whatSize, const std::string& text)
{
    BufSet(what, whatSize, text);
    SetLastError(ERROR_INVALID_DATA);
    return 0;
}

// Every field of the line at `line` (field 0, its key, included); false with
// the undefined key in `key` when one holds an undefined string key.
bool LineKeysDefined(INFCONTEXT* line, std::string& key)
{
    char field[kFieldSize];
    const DWORD count = SetupGetFieldCount(line);
    for (DWORD i = 0; i <= count; ++i) {
        if (ReadScriptField(line, i, field, sizeof(field)) && FindUndefinedStringKey(field, key))
            return false;
    }
    return true;
}

// The lines of `section` (or only those with key `onlyKey`) use defined
// string keys only.
bool SectionKeysDefined(HINF script, const char* section, const char* onlyKey, std::string& key)
{
    INFCONTEXT line;
    for (BOOL more = SetupFindFirstLineA(script, section, onlyKey, &line); more;
         more = onlyKey ? SetupFindNextMatchLineA(&line, onlyKey, &line) : SetupFindNextLine(&line, &line)) {
        if (!LineKeysDefined(&line, key))
            return false;
    }
    return true;
}

// The sections `section` names by the keys above exist; the shortcut
// sections and the installer's own keys use defined strings.
int CheckSection(HINF script, const char* section, char* what, size_t whatSize)
{
    std::string key;
    for (const char* readKey : kReadKeys) {
        if (!SectionKeysDefined(script, section, readKey, key))
            return Missing(what, whatSize, "%" + key + "% (" + readKey + " in " + section + ") is not in [Strings]");
    }
    for (const char* sectionKey : kSectionKeys) {
        INFCONTEXT line;
        for (BOOL more = SetupFindFirstLineA(script, section, sectionKey, &line); more;
             more = SetupFindNextMatchLineA(&line, sectionKey, &line)) {
            char name[kFieldSize];
            for (DWORD i = 1; ReadScriptField(&line, i, name, sizeof(name)); ++i) {
                if (name[0] == '\0' || name[0] == '@')
                    continue;
                if (SetupGetLineCountA(script, name) < 0)
                    return Missing(what, whatSize,
                                   std::string("section [") + name + "] (" + sectionKey + " in " + section + ") is missing");
                const bool shortcuts = lstrcmpiA(sectionKey, "MakeIcons") == 0 || lstrcmpiA(sectionKey, "DelIcons") == 0;
                if (shortcuts && !SectionKeysDefined(script, name, nullptr, key))
                    return Missing(what, whatSize, "%" + key + "% (in [" + std::string(name) + "]) is not in [Strings]");
            }
        }
    }
    return 1;
}

}  // namespace

int CheckScriptWhole(HINF script, const char* installSection, const char* productsSection, char* what,
                     size_t whatSize)
{
    if (!SectionHasLines(script, installSection) && ComponentListCount() == 0)
        return Missing(what, whatSize, std::string("nothing to install: no section [") + installSection + "], no product");
    std::string key;
    for (const char* section : {"DestinationDirs", "SourceDisksNames"}) {
        if (!SectionKeysDefined(script, section, nullptr, key))
            return Missing(what, whatSize, "%" + key + "% (in [" + section + "]) is not in [Strings]");
    }
    if (SetupGetLineCountA(script, installSection) >= 0 && !CheckSection(script, installSection, what, whatSize))
        return 0;
    char product[kFieldSize], productSection[kFieldSize];
    for (int i = 0; i < ComponentListCount(); ++i) {
        INFCONTEXT line;
        BufSet(product, sizeof(product), ComponentListName(i));
        if (SetupFindFirstLineA(script, productsSection, product, &line) && !LineKeysDefined(&line, key))
            return Missing(what, whatSize, "%" + key + "% (product " + product + ") is not in [Strings]");
        if (ProductField(script, i, 2, productSection, sizeof(productSection), productsSection) &&
            productSection[0] != '\0') {
            if (SetupGetLineCountA(script, productSection) < 0)
                return Missing(what, whatSize, std::string("section [") + productSection + "] (product " + product +
                                                   ") is missing");
            if (!CheckSection(script, productSection, what, whatSize))
                return 0;
        }
    }
    return 1;
}
