#include "ReportFile.h"

#include "BufCopy.h"
#include "RunReport.h"

#include <algorithm>

namespace {

constexpr ULONGLONG kTicksPerMinute = 600000000;  // FILETIME counts 100 ns

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Writes all of `text` to the open file; 0 or the error code.
DWORD WriteAll(HANDLE file, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        done += written;
    }
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

// Renames `from` over `to`. Windows 95 to Me have no MoveFileEx: there the
// old file goes first (a reader may then briefly find no file, never half
// of one).
DWORD ReplaceWith(const char* from, const char* to)
{
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = GetLastError();
    if (error != ERROR_CALL_NOT_IMPLEMENTED)
        return error;
    if (!DeleteFileA(to) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return GetLastError();
    return MoveFileA(from, to) ? 0 : GetLastError();
}

// The temporary file in `folder`, written and renamed over `path`; the
// temporary file is removed when a step fails.
DWORD WriteThroughTemporary(const std::string& folder, const std::string& path, const std::string& text)
{
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "mdr", 0, temporary))
        return GetLastError();
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : WriteAll(file, text);
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && error == 0)
        error = GetLastError();
    if (error == 0)
        error = ReplaceWith(temporary, path.c_str());
    if (error != 0)
        DeleteFileA(temporary);
    return error;
}

}  // namespace

std::string LocalIsoTimeNow()
{
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields))
        return std::string();
    // The offset in whole minutes, rounded: the two times are one instant.
    const ULONGLONG u = Ticks(utc);
    const ULONGLONG l = Ticks(local);
    const int offset = l >= u ? static_cast<int>((l - u + kTicksPerMinute / 2) / kTicksPerMinute)
                              : -static_cast<int>((u - l + kTicksPerMinute / 2) / kTicksPerMinute);
    return FormatIsoTime(fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute,
                         fields.wSecond, offset);
}

std::string ComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof(name);
    return GetComputerNameA(name, &size) ? std::string(name) : std::string();
}

DWORD WriteFileWhole(const std::string& path, const std::string& text)
{
    if (!BufFits(MAX_PATH, path.c_str()))
        return ERROR_FILENAME_EXCED_RANGE;
    // The folder with its backslash ("C:\dir\", "\\server\share\"), or
    // the drive of a drive-relative name ("C:").
    const size_t slash = path.find_last_of("\\:");
    if (slash == std::string::npos || slash + 1 == path.size())
        return ERROR_INVALID_NAME;
    const std::string folder = path.substr(0, slash + 1);

    // A drive without its disk must fail the write, not ask for the disk.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetErrorMode(oldMode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const DWORD error = WriteThroughTemporary(folder, path, text);
    SetErrorMode(oldMode);
    return error;
}
