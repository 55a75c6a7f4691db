#include "MediumCabinets.h"

#include "BufCopy.h"
#include "CabinetCheck.h"
#include "ScriptLines.h"

#include <cstdint>
#include <new>

namespace {

bool EndsWithCab(const char* name)
{
    const size_t length = lstrlenA(name);
    return length > 3 && lstrcmpiA(name + length - 4, ".cab") == 0;
}

// Checks the file at `path` through a read-only mapping (a cabinet may be
// large). 0 with the last error set when it is damaged or cannot be read;
// -1 when there is no such file.
int CheckFile(const char* path, std::string& problem)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return -1;
        problem = "it cannot be read";
        SetLastError(error);
        return 0;
    }
    LARGE_INTEGER size = {};
    int result = 0;
    DWORD error = ERROR_FILE_CORRUPT;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        problem = "its size cannot be read";
        error = GetLastError();
    } else if (size.QuadPart == 0) {
        result = CheckCabinet(nullptr, 0, problem) ? 1 : 0;
    } else if (HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr)) {
        if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
            try {
                result = CheckCabinet(static_cast<const unsigned char*>(view), static_cast<size_t>(size.QuadPart),
                                      problem) ? 1 : 0;
            } catch (const std::bad_alloc&) {
                problem = "out of memory";
                error = ERROR_NOT_ENOUGH_MEMORY;
            }
            UnmapViewOfFile(view);
        } else {
            problem = "it cannot be read";
            error = GetLastError();
        }
        CloseHandle(mapping);
    } else {
        problem = "it cannot be read";
        error = GetLastError();
    }
    CloseHandle(file);
    if (result == 0)
        SetLastError(error);
    return result;
}

}  // namespace

int CheckMediumCabinets(HINF script, const char* folder, char* cabinet, size_t cabinetSize, std::string& problem)
{
    INFCONTEXT line;
    for (BOOL more = SetupFindFirstLineA(script, "SourceDisksNames", nullptr, &line); more;
         more = SetupFindNextLine(&line, &line)) {
        char tagFile[MAX_PATH] = "";
        if (!ReadScriptField(&line, 2, tagFile, sizeof(tagFile)) || !EndsWithCab(tagFile))
            continue;
        BufSet(cabinet, cabinetSize, folder);
        if (BufAppend(cabinet, cabinetSize, tagFile) != lstrlenA(folder) + static_cast<size_t>(lstrlenA(tagFile)))
            continue;  // a path too long for Windows: the copy cannot find it either
        if (CheckFile(cabinet, problem) == 0)
            return 0;
    }
    return 1;
}
