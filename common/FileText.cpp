#include "FileText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#endif

namespace {

constexpr size_t kChunk = 16384;  // bytes read per call

}  // namespace

#ifdef _WIN32

bool ReadFileText(const std::string& path, std::string& text)
{
    text.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // The size is only a first guess: the file is read until its end.
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE)
        text.reserve(size);
    char chunk[kChunk];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof(chunk), &got, nullptr) != FALSE) && got > 0)
        text.append(chunk, got);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
        text.clear();
        SetLastError(error);
    }
    return ok;
}

#else

bool ReadFileText(const std::string& path, std::string& text)
{
    text.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    char chunk[kChunk];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        text.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (!ok)
        text.clear();
    return ok;
}

#endif
