#include "References.h"

#include "BufCopy.h"
#include "ProgramFolder.h"
#include "RunFolder.h"
#include "ScriptFields.h"
#include "ScriptTrace.h"
#include "ShellFunctions.h"
#include "VersionMemo.h"
#include "Versions.h"

#include <cstring>
#include <new>

namespace {

bool SameName(const std::string& a, const char* b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

bool EndsWithCab(const char* name)
{
    const size_t length = std::strlen(name);
    return length > 3 && lstrcmpiA(name + length - 4, ".cab") == 0;
}

const ReferenceEntry* Find(const ReferenceTable* table, int kind, const char* fileName, int iconNumber)
{
    for (const ReferenceEntry& entry : table->entries) {
        if (entry.kind == kind && SameName(entry.fileName, fileName) &&
            (kind != kIconReference || entry.iconNumber == iconNumber))
            return &entry;
    }
    return nullptr;
}

int Add(ReferenceTable* table, int kind, const char* fileName, int iconNumber)
{
    if (Find(table, kind, fileName, iconNumber) != nullptr)
        return 1;
    ReferenceEntry entry = {};
    entry.kind = kind;
    entry.iconNumber = iconNumber;
    try {
        entry.fileName = fileName;
        table->entries.push_back(entry);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return 1;
}

// Takes the icon or version from `path` (the file itself, or the temporary
// copy of a cabinet member); a version is remembered under `memoKey`.
void Load(ReferenceEntry& entry, const char* path, const std::string& memoKey)
{
    entry.loaded = 1;
    if (entry.kind == kIconReference) {
        HICON small = nullptr;
        shell::ExtractIconEx(path, entry.iconNumber, nullptr, &small, 1);
        entry.icon = small;
        ScriptTrace("reference: icon %d of %s read from %s\n", entry.iconNumber, entry.fileName.c_str(), path);
    } else {
        char version[256];
        if (FileVersion(path, version, sizeof(version))) {
            entry.version = version;
            entry.hasVersion = 1;
        }
        RememberVersion(memoKey, entry.hasVersion != 0, entry.version);
        ScriptTrace("reference: version of %s read from %s\n", entry.fileName.c_str(), path);
    }
}

// Loads a version entry from an earlier reading of the same file in this
// run (`where` names it for the trace); false when there is none.
bool Recall(ReferenceEntry& entry, const std::string& memoKey, const char* where)
{
    bool hasVersion = false;
    std::string version;
    if (entry.kind != kVersionReference || !RecallVersion(memoKey, &hasVersion, &version))
        return false;
    entry.loaded = 1;
    entry.hasVersion = hasVersion ? 1 : 0;
    entry.version = version;
    ScriptTrace("reference: version of %s known from %s\n", entry.fileName.c_str(), where);
    return true;
}

// Where the Setup API says the file lies: "<disk path>\<sub-directory>\<name>"
// (empty parts left out), and the tag file of its disk; the name alone when
// the script does not list the file.
std::string SourcePath(HINF script, const std::string& fileName, std::string* tagFile)
{
    char subDir[MAX_PATH] = "", diskPath[MAX_PATH] = "", tag[MAX_PATH] = "";
    UINT disk = 0;
    if (SetupGetSourceFileLocationA(script, nullptr, fileName.c_str(), &disk, subDir, sizeof(subDir), nullptr)) {
        if (!SetupGetSourceInfoA(script, disk, SRCINFO_PATH, diskPath, sizeof(diskPath), nullptr))
            diskPath[0] = '\0';
        if (!SetupGetSourceInfoA(script, disk, SRCINFO_TAGFILE, tag, sizeof(tag), nullptr))
            tag[0] = '\0';
    } else {
        subDir[0] = '\0';
    }
    std::string path;
    if (diskPath[0] != '\0')
        path = std::string(diskPath) + "\\";
    if (subDir[0] != '\0')
        path += std::string(subDir) + "\\";
    *tagFile = tag;
    return path + fileName;
}

// State of one cabinet walk.
struct CabinetWalk
{
    ReferenceTable* table;
    const std::string* cabinet;
    std::string member;      // file name of the entries waiting for the extracted member
    std::string tempFile;    // its temporary copy in the run's folder; deleted once read
};

const ReferenceEntry* Waiting(const CabinetWalk& walk, const char* name)
{
    for (const ReferenceEntry& entry : walk.table->entries) {
        if (!entry.loaded && entry.inCabinet && SameName(entry.location, walk.cabinet->c_str()) &&
            SameName(entry.fileName, name))
            return &entry;
    }
    return nullptr;
}

void DropTempFile(CabinetWalk& walk)
{
    if (!walk.tempFile.empty())
        RunFolderDeleteFile(walk.tempFile.c_str());
    walk.tempFile.clear();
    walk.member.clear();
}

UINT OnMember(CabinetWalk& walk, FILE_IN_CABINET_INFO_A* member)
{
    DropTempFile(walk);
    const ReferenceEntry* entry = Waiting(walk, member->NameInCabinet);
    if (entry == nullptr)
        return FILEOP_SKIP;
    // The run's own folder, which only administrators may change.
    if (!RunFolderNewFile("tmp", member->FullTargetName, sizeof(member->FullTargetName))) {
        ScriptTrace("reference: no temporary file for %s (error %lu)\n", entry->fileName.c_str(), GetLastError());
        return FILEOP_SKIP;
    }
    walk.member = entry->fileName;
    walk.tempFile = member->FullTargetName;
    return FILEOP_DOIT;
}

void OnExtracted(CabinetWalk& walk, const FILEPATHS_A* paths)
{
    if (paths->Win32Error == NO_ERROR) {
        const std::string memoKey = VersionSourceKey(walk.cabinet->c_str(), walk.member.c_str());
        for (ReferenceEntry& entry : walk.table->entries) {
            if (!entry.loaded && entry.inCabinet && SameName(entry.fileName, walk.member.c_str()))
                Load(entry, walk.tempFile.c_str(), memoKey);
        }
    }
    DropTempFile(walk);
}

UINT CALLBACK CabinetCallback(void* context, UINT notification, UINT_PTR param1, UINT_PTR)
{
    CabinetWalk& walk = *static_cast<CabinetWalk*>(context);
    try {
        switch (notification) {
        case SPFILENOTIFY_FILEINCABINET:
            return OnMember(walk, reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1));
        case SPFILENOTIFY_FILEEXTRACTED:
            OnExtracted(walk, reinterpret_cast<const FILEPATHS_A*>(param1));
            return NO_ERROR;
        case SPFILENOTIFY_NEEDNEWCABINET:
            // Members continued in a further cabinet are not looked for.
            return ERROR_FILE_NOT_FOUND;
        default:
            return NO_ERROR;
        }
    } catch (const std::bad_alloc&) {
        return notification == SPFILENOTIFY_FILEINCABINET ? static_cast<UINT>(FILEOP_SKIP)
                                                          : static_cast<UINT>(ERROR_NOT_ENOUGH_MEMORY);
    }
}

// Whether an entry of `cabinet` still waits for its member: versions read
// from the cabinet earlier in this run are taken from the memo first.
bool CabinetNeeded(ReferenceTable* table, const std::string& cabinet)
{
    bool needed = false;
    for (ReferenceEntry& entry : table->entries) {
        if (entry.loaded || !entry.inCabinet || !SameName(entry.location, cabinet.c_str()))
            continue;
        if (!Recall(entry, VersionSourceKey(cabinet.c_str(), entry.fileName.c_str()), cabinet.c_str()))
            needed = true;
    }
    return needed;
}

void WalkCabinet(ReferenceTable* table, const std::string& cabinet)
{
    if (!CabinetNeeded(table, cabinet))
        return;
    CabinetWalk walk{table, &cabinet, std::string(), std::string()};
    if (!SetupIterateCabinetA(cabinet.c_str(), 0, CabinetCallback, &walk))
        ScriptTrace("reference: cabinet %s cannot be read (error %lu)\n", cabinet.c_str(), GetLastError());
    // A walk that ended between extraction and its notice leaves a copy.
    DropTempFile(walk);
}

}  // namespace

ReferenceTable* NewReferenceTable()
{
    ReferenceTable* table = new (std::nothrow) ReferenceTable;
    if (table == nullptr)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return table;
}

int AddIconReference(ReferenceTable* table, const char* field)
{
    int number = 0;
    const char* fileName = nullptr;
    if (!SplitIconReference(field, &number, &fileName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Add(table, kIconReference, fileName, number);
}

int AddVersionReference(ReferenceTable* table, const char* field)
{
    const char* fileName = VersionReferenceFile(field);
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Add(table, kVersionReference, fileName, 0);
}

int ResolveReferences(ReferenceTable* table, HINF script)
{
    try {
        std::vector<std::string> cabinets;
        for (ReferenceEntry& entry : table->entries) {
            if (!entry.location.empty())
                continue;
            std::string tagFile;
            const std::string path = SourcePath(script, entry.fileName, &tagFile);
            // Medium files are named by their full path: the current folder
            // is not the medium's.
            if (path.find('\\') == std::string::npos && EndsWithCab(tagFile.c_str())) {
                const std::string cabinetPath = MediumPath(tagFile);
                entry.location = cabinetPath;
                entry.inCabinet = 1;
                bool known = false;
                for (const std::string& cabinet : cabinets)
                    known = known || SameName(cabinet, cabinetPath.c_str());
                if (!known)
                    cabinets.push_back(cabinetPath);
            } else {
                const std::string fullPath = MediumPath(path);
                entry.location = fullPath;
                const std::string memoKey = VersionSourceKey(fullPath.c_str(), nullptr);
                if (!Recall(entry, memoKey, fullPath.c_str()))
                    Load(entry, fullPath.c_str(), memoKey);
            }
        }
        for (const std::string& cabinet : cabinets)
            WalkCabinet(table, cabinet);
    } catch (const std::bad_alloc&) {
        // What was read so far stays; the rest has no icon or version.
    }
    // The run's folder goes as soon as the members are read: a run killed
    // later leaves nothing of it behind.
    RemoveRunFolder();
    return 1;
}

HICON IconOf(const ReferenceTable* table, const char* field)
{
    int number = 0;
    const char* fileName = nullptr;
    if (!SplitIconReference(field, &number, &fileName))
        return nullptr;
    const ReferenceEntry* entry = Find(table, kIconReference, fileName, number);
    return entry != nullptr ? entry->icon : nullptr;
}

const char* VersionOf(const ReferenceTable* table, const char* field)
{
    const char* fileName = VersionReferenceFile(field);
    if (fileName == nullptr)
        return nullptr;
    const ReferenceEntry* entry = Find(table, kVersionReference, fileName, 0);
    return entry != nullptr && entry->hasVersion ? entry->version.c_str() : nullptr;
}

void FreeReferenceTable(ReferenceTable* table)
{
    if (table == nullptr)
        return;
    for (ReferenceEntry& entry : table->entries) {
        if (entry.icon != nullptr)
            DestroyIcon(entry.icon);
    }
    delete table;
}
