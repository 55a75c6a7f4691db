#include "Versions.h"

#include "BufCopy.h"
#include "VersionLibrary.h"
#include "VersionText.h"

#include <vector>

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

}  // namespace

int ReadInstalledVersion(const char* productKey, char* buffer, size_t size)
{
    if (size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = '\0';
    char path[512];
    BufFormat(path, sizeof(path), "%s%s", kUninstallKey, productKey);
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        // Any type, at most 128 bytes: the bytes are read as text and
        // terminated here, so a binary or unterminated value cannot run past
        // the buffer. A longer value is unreadable rather than cut (a cut
        // version would compare as another one).
        char data[kVersionTextSize + 1] = {};
        DWORD length = kVersionTextSize;
        status = RegQueryValueExA(key, "ProductVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &length);
        if (status == ERROR_SUCCESS && !BufFits(size, data))
            status = ERROR_MORE_DATA;
        if (status == ERROR_SUCCESS)
            BufSet(buffer, size, data);
        RegCloseKey(key);
    }
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS ? 1 : 0;
}

int CompareVersions(const char* productKey, const char* versionText)
{
    char installed[kVersionTextSize];
    if (!ReadInstalledVersion(productKey, installed, sizeof(installed)))
        return 0;
    return CompareVersionTexts(versionText, installed);
}

int FileVersion(const char* path, char* buffer, size_t size)
{
    const VersionLibrary& version = Version();
    if (!version.Complete()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    DWORD unused = 0;
    const DWORD length = version.getFileVersionInfoSize(path, &unused);
    if (length == 0)
        return 0;
    std::vector<char> data(length);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!version.getFileVersionInfo(path, 0, length, data.data()) ||
        !version.verQueryValue(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength))
        return 0;
    if (fixed == nullptr || fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    BufFormat(buffer, size, "%d.%d.%d.%d", HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
              HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
    return 1;
}
