#include "Uninstall.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "Journal.h"
#include "DirectoryRules.h"
#include "RegistryLookups.h"
#include "RunLog.h"
#include "ScriptLines.h"
#include "TextList.h"
#include "Versions.h"
#include "resource.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kDestinationDirsSection[] = "ProductDestinationDirs";
// UserTargetDir is read back into 522 bytes: two paths and the list's end.
const DWORD kTargetDirValueBytes = 522;
const size_t kNameBytes = 256;
const size_t kLongTextBytes = 1024;

// The texts every entry of one registration shares.
struct EntryTexts
{
    const char* setupPath;
    const char* targetDir;
    const PairList* pairs;
    char publisher[kLongTextBytes];
    char helpLink[kLongTextBytes];
};

// One entry: its key, display name and version (null when none).
struct Entry
{
    const char* key;
    const char* displayName;
    const char* version;
    bool global;  // the global entry names its maker even when the text is empty
};

// A key's ProductDestinationDirs line.
struct SubDirLine
{
    DWORD id;  // 0 when the line names no user-defined identifier
    char idText[32];
    char subDir[MAX_PATH];
};

// An entry's open key and its path as the installation log names it.
struct EntryKey
{
    HKEY handle;
    std::string path;    // "HKLM\Software\...\Uninstall\<key>"
    std::string subKey;  // the same below HKLM
};

// Writes one value; the log names it, and the debug log a failure.
void SetValue(const EntryKey& key, const char* name, DWORD type, const void* data, DWORD size)
{
    // Journalled first: a failed installation puts back the entry that was
    // there, values and all.
    JournalValue(HKEY_LOCAL_MACHINE, key.subKey.c_str(), name);
    const LONG status = RegSetValueExA(key.handle, name, 0, type, static_cast<const BYTE*>(data), size);
    const char* typeName = type == REG_DWORD ? "REG_DWORD" : type == REG_MULTI_SZ ? "REG_MULTI_SZ" : "REG_SZ";
    if (status == ERROR_SUCCESS) {
        RunLogAction("set-value", key.path.c_str(), "value %s, %s", name, typeName);
        return;
    }
    RunLogAction("set-value", key.path.c_str(), "value %s, %s failed (error %ld)", name, typeName, status);
    DebugErrorPrint("cannot write uninstall value %s\n", name);
    DebugReportError(static_cast<DWORD>(status));
}

void SetText(const EntryKey& key, const char* name, const std::string& text)
{
    SetValue(key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetNumber(const EntryKey& key, const char* name, DWORD value)
{
    SetValue(key, name, REG_DWORD, &value, sizeof(value));
}

int WriteEntry(const Entry& entry, const EntryTexts& texts)
{
    const std::string subKey = std::string(kUninstallKey) + entry.key;
    EntryKey key = {nullptr, "HKLM\\" + subKey, subKey};
    JournalKey(HKEY_LOCAL_MACHINE, subKey.c_str());
    const LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        &key.handle, nullptr);
    if (status != ERROR_SUCCESS) {
        DebugErrorPrint("cannot create the uninstall entry %s\n", entry.key);
        DebugReportError(static_cast<DWORD>(status));
        RunLogPrint("the uninstall entry %s cannot be created (error %ld)", key.path.c_str(), status);
        SetLastError(static_cast<DWORD>(status));
        return 0;
    }
    // The program path in quotes: unquoted, a path with blanks ("C:\Program
    // Files\...") lets Windows start C:\Program.exe in its place.
    const std::string command = "\"" + std::string(texts.setupPath) + "\" /remove:" + entry.key;
    SetText(key, "DisplayName", entry.displayName);
    SetText(key, "UninstallString", command);
    if (entry.global || texts.publisher[0] != '\0')
        SetText(key, "Publisher", texts.publisher);
    if (entry.global || texts.helpLink[0] != '\0')
        SetText(key, "HelpLink", texts.helpLink);
    if (entry.version != nullptr) {
        SetText(key, "ProductVersion", entry.version);
        SetText(key, "DisplayVersion", entry.version);
    }
    const char* ownDir = texts.pairs ? PairListFind(texts.pairs, entry.key) : nullptr;
    if (ownDir != nullptr) {
        const std::string both = std::string(texts.targetDir) + '\0' + ownDir + '\0' + '\0';
        SetValue(key, "UserTargetDir", REG_MULTI_SZ, both.data(), static_cast<DWORD>(both.size()));
    } else {
        SetText(key, "UserTargetDir", texts.targetDir);
    }
    // What deployment tools expect of every entry.
    SetText(key, "QuietUninstallString", command + " /quiet");
    SetText(key, "InstallLocation", texts.targetDir);
    SetNumber(key, "NoModify", 1);
    SetNumber(key, "NoRepair", 1);
    RegCloseKey(key.handle);
    return 1;
}

// A version field read into `version`: present and, for a "@file"
// reference, resolved.
bool ReadVersion(HINF script, const char* key, const char* section, DWORD field, char* version, size_t size)
{
    return FindLine(script, key, section, field, version, size) && ResolveVersionField(script, version, size);
}

// The global uninstall key name; false when the install section has none.
bool GlobalKey(HINF script, const char* installSection, char* key)
{
    return FindLine(script, "Uninstall", installSection, 1, key, kNameBytes) && key[0] != '\0';
}

// The global key name, then the key of every products line, in order.
std::vector<std::string> KeyList(HINF script, const char* productsSection, const char* installSection)
{
    std::vector<std::string> keys;
    char key[kNameBytes];
    if (GlobalKey(script, installSection, key))
        keys.push_back(key);
    INFCONTEXT line;
    for (bool more = SetupFindFirstLineA(script, productsSection, nullptr, &line) != FALSE; more;
         more = SetupFindNextLine(&line, &line) != FALSE) {
        if (ReadScriptField(&line, 0, key, sizeof(key)) && key[0] != '\0')
            keys.push_back(key);
    }
    return keys;
}

bool FindSubDirLine(HINF script, const char* key, SubDirLine* line)
{
    if (!FindLine(script, key, kDestinationDirsSection, 1, line->idText, sizeof(line->idText)))
        return false;
    unsigned long parsed = 0;
    ParseUserDirectoryId(line->idText, &parsed);
    line->id = static_cast<DWORD>(parsed);
    if (!FindLine(script, key, kDestinationDirsSection, 2, line->subDir, sizeof(line->subDir)))
        line->subDir[0] = '\0';
    return true;
}

// Sets the identifier of `line` to `dir`; a line without a user-defined
// identifier fails with ERROR_INVALID_PARAMETER, never reaching the Setup
// API (0 would clear every user-defined identifier).
BOOL SetLineDirectory(HINF script, const std::string& key, const SubDirLine& line, const char* dir)
{
    if (line.id == 0) {
        DebugErrorPrint("[%s] %s: \"%s\" is no directory identifier of 32768 and above; %s is not assigned\n",
                        kDestinationDirsSection, key.c_str(), line.idText, dir);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return SetupSetDirectoryIdA(script, line.id, dir);
}

// The directories registered for `key`: false unless its UserTargetDir is a
// text or a text list of at most 522 bytes.
bool ReadKeyDirectories(const char* key, const SubDirLine* line, char* base, char* product)
{
    HKEY entry = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + key).c_str(), 0, KEY_READ, &entry) !=
        ERROR_SUCCESS)
        return false;
    char value[kTargetDirValueBytes + 2] = {};  // room for terminators the value may lack
    DWORD type = REG_NONE, size = kTargetDirValueBytes;
    const LONG status =
        RegQueryValueExA(entry, "UserTargetDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(entry);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_MULTI_SZ))
        return false;
    const char* second = value + std::strlen(value) + 1;
    if (type == REG_MULTI_SZ && second < value + size && second[0] != '\0') {
        BufSet(base, MAX_PATH, value);
        BufSet(product, MAX_PATH, second);
    } else {
        BufSet(product, MAX_PATH, value);
        BaseDirectoryOf(product, line ? line->subDir : nullptr, base, MAX_PATH);
    }
    return true;
}

// Searches the file-copy sections named by `CopyFiles` of `section`.
int FindInCopySections(HINF script, const char* section, const char* fileName, char* path)
{
    INFCONTEXT copyFiles;
    if (!SetupFindFirstLineA(script, section, "CopyFiles", &copyFiles))
        return 0;
    const DWORD count = SetupGetFieldCount(&copyFiles);
    for (DWORD field = 1; field <= count; ++field) {
        char copySection[kNameBytes];
        INFCONTEXT line;
        if (!ReadScriptField(&copyFiles, field, copySection, sizeof(copySection))
            || !SetupFindFirstLineA(script, copySection, nullptr, &line))
            continue;
        do {
            char destination[MAX_PATH], dir[MAX_PATH];
            if (!ReadScriptField(&line, 1, destination, sizeof(destination))
                || lstrcmpiA(destination, fileName) != 0)
                continue;
            // The section form: the target directory of the line's section.
            if (SetupGetTargetPathA(script, nullptr, copySection, dir, sizeof(dir), nullptr)
                && BufFormat(path, MAX_PATH, "%s\\%s", dir, fileName) ==
                       static_cast<int>(std::strlen(dir) + 1 + std::strlen(fileName)))
                return 1;
        } while (SetupFindNextLine(&line, &line));
    }
    path[0] = '\0';
    return 0;
}

}  // namespace

int FindSetupPath(HINF script, const char* fileName, const char* installSection, const char* productsSection,
                  char* path)
{
    path[0] = '\0';
    if (FindInCopySections(script, installSection, fileName, path))
        return 1;
    INFCONTEXT line;
    for (bool more = SetupFindFirstLineA(script, productsSection, nullptr, &line) != FALSE; more;
         more = SetupFindNextLine(&line, &line) != FALSE) {
        char productInstall[kNameBytes];
        if (ReadScriptField(&line, 2, productInstall, sizeof(productInstall))
            && FindInCopySections(script, productInstall, fileName, path))
            return 1;
    }
    return 0;
}

int RegisterUninstall(HINF script, const char* productList, const char* productsSection,
                      const char* installSection, const char* targetDir, const PairList* pairs)
{
    EntryTexts texts = {};
    char setupPath[MAX_PATH];
    if (!FindSetupPath(script, "setup.exe", installSection, productsSection, setupPath)) {
        DebugErrorPrint("the script copies no setup.exe: no uninstall entry written\n");
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    texts.setupPath = setupPath;
    texts.targetDir = targetDir;
    texts.pairs = pairs;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (LoadStringA(module, IDS_PUBLISHER, texts.publisher, sizeof(texts.publisher)) <= 0)
        texts.publisher[0] = '\0';
    if (LoadStringA(module, IDS_HELP_LINK, texts.helpLink, sizeof(texts.helpLink)) <= 0)
        texts.helpLink[0] = '\0';

    for (int i = 0; const char* key = xUtilListEntry(productList, i); ++i) {
        char name[kNameBytes], install[kNameBytes], remove[kNameBytes], version[kVersionTextSize];
        if (!FindLine(script, key, productsSection, 1, name, sizeof(name))
            || !FindLine(script, key, productsSection, 2, install, sizeof(install))
            || !FindLine(script, key, productsSection, 3, remove, sizeof(remove)) || remove[0] == '\0')
            continue;  // without a remove section the product cannot be removed alone
        const bool hasVersion = ReadVersion(script, key, productsSection, 7, version, sizeof(version));
        if (!WriteEntry({key, name, hasVersion ? version : nullptr, false}, texts))
            return 0;
    }

    char globalKey[kNameBytes];
    if (GlobalKey(script, installSection, globalKey)) {
        char name[kNameBytes], version[kVersionTextSize];
        if (!FindLine(script, "Uninstall", installSection, 2, name, sizeof(name)))
            BufSet(name, sizeof(name), globalKey);
        const bool hasVersion = ReadVersion(script, "ProductVer", installSection, 1, version, sizeof(version));
        if (!WriteEntry({globalKey, name, hasVersion ? version : nullptr, true}, texts))
            return 0;
    }
    return 1;
}

void DeleteUninstallEntries(const char* productList)
{
    DeleteUninstallKeys(productList);
}

int IsRegistered(const char* key)
{
    HKEY entry = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + key).c_str(), 0, KEY_ALL_ACCESS, &entry) !=
        ERROR_SUCCESS)
        return 0;
    RegCloseKey(entry);
    return 1;
}

int IsScriptKey(HINF script, const char* productsSection, const char* installSection, const char* key)
{
    if (std::strchr(key, '\\') != nullptr)
        return 0;
    for (const std::string& listed : KeyList(script, productsSection, installSection)) {
        if (xUtilEqualNoCase(listed.c_str(), key))
            return 1;
    }
    return 0;
}

int RecallDirectories(HINF script, const char* productsSection, const char* installSection,
                      const char* defaultDir, char* targetDir, PairList* pairs)
{
    targetDir[0] = '\0';
    if (pairs)
        PairListClear(pairs);
    int count = 0;
    std::vector<std::string> unregistered;
    for (const std::string& key : KeyList(script, productsSection, installSection)) {
        SubDirLine line;
        const bool hasLine = FindSubDirLine(script, key.c_str(), &line);
        char base[MAX_PATH], product[MAX_PATH];
        if (!ReadKeyDirectories(key.c_str(), hasLine ? &line : nullptr, base, product)) {
            unregistered.push_back(key);
            continue;
        }
        ++count;
        if (base[0] != '\0' && targetDir[0] == '\0')
            BufSet(targetDir, MAX_PATH, base);
        if (hasLine) {
            SetLineDirectory(script, key, line, product);
            if (pairs)
                PairListAdd(pairs, key.c_str(), product);
        }
    }
    if (targetDir[0] == '\0' && defaultDir != nullptr)
        BufSet(targetDir, MAX_PATH, defaultDir);
    if (targetDir[0] != '\0') {
        SetupSetDirectoryIdA(script, kTargetDirectoryId, targetDir);
        for (const std::string& key : unregistered) {
            SubDirLine line;
            char dir[MAX_PATH];
            if (!FindSubDirLine(script, key.c_str(), &line) || !JoinSubDirectory(targetDir, line.subDir, dir, sizeof(dir)))
                continue;
            SetLineDirectory(script, key, line, dir);
            if (pairs)
                PairListAdd(pairs, key.c_str(), dir);
        }
    }
    return count;
}

int AssignDirectories(HINF script, const char* productsSection, const char* installSection,
                      const char* targetDir, PairList* pairs)
{
    if (pairs)
        PairListClear(pairs);
    int result = SetupSetDirectoryIdA(script, kTargetDirectoryId, targetDir) ? 1 : 0;
    DWORD error = result ? ERROR_SUCCESS : GetLastError();
    for (const std::string& key : KeyList(script, productsSection, installSection)) {
        SubDirLine line;
        if (!FindSubDirLine(script, key.c_str(), &line))
            continue;
        char dir[MAX_PATH];
        if (!JoinSubDirectory(targetDir, line.subDir, dir, sizeof(dir))) {
            if (result)
                error = ERROR_FILENAME_EXCED_RANGE;
            result = 0;
            continue;
        }
        // After the first refusal no further identifier is set.
        if (result && !SetLineDirectory(script, key, line, dir)) {
            error = GetLastError();
            result = 0;
        }
        if (pairs)
            PairListAdd(pairs, key.c_str(), dir);
    }
    if (!result)
        SetLastError(error);
    return result;
}
