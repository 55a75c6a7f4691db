#include "Versions.h"

#include "BufCopy.h"
#include "DebugLog.h"
#include "LoadExpandedString.h"
#include "MessageBoxes.h"
#include "References.h"
#include "RunLog.h"
#include "ScriptLines.h"
#include "ScriptTrace.h"
#include "resource.h"

int ResolveVersionField(HINF script, char* buffer, size_t size)
{
    if (buffer[0] != '@')
        return 1;
    ReferenceTable* table = NewReferenceTable();
    if (table == nullptr)
        return 0;
    const char* version = nullptr;
    if (AddVersionReference(table, buffer)) {
        ResolveReferences(table, script);
        version = VersionOf(table, buffer);
        if (version != nullptr)
            BufSet(buffer, size, version);
    }
    FreeReferenceTable(table);
    if (version == nullptr)
        SetLastError(ERROR_FILE_NOT_FOUND);
    return version != nullptr ? 1 : 0;
}

int NewerVersionCheck(HINF script, HINSTANCE module, HWND owner, const char* installSection, NewerAnswer answer)
{
    char version[kVersionTextSize], productKey[kVersionTextSize];
    if (!FindLine(script, "ProductVer", installSection, 1, version, sizeof(version)) ||
        !FindLine(script, "Uninstall", installSection, 1, productKey, sizeof(productKey)) ||
        !ResolveVersionField(script, version, sizeof(version)))
        return 1;
    const int difference = CompareVersions(productKey, version);
    ScriptTrace("version %s of %s against the installed one: %d\n", version, productKey, difference);
    if (difference >= 0)
        return 1;
    if (answer != NewerAnswer::Ask) {
        char installed[kVersionTextSize] = "?";
        ReadInstalledVersion(productKey, installed, sizeof(installed));
        const bool replace = answer == NewerAnswer::Replace;
        const char* outcome = replace ? "replaced (/newer:replace)" : "kept (/newer:keep)";
        DebugPrint(2, "setup: %s: the installed version %s is newer than %s; %s\n", productKey, installed, version,
                   outcome);
        RunLogAction("newer-version", productKey, "installed %s, this medium %s: %s", installed, version, outcome);
        return replace ? 1 : -1;
    }

    // An empty display name would leave a gap in the question: "?" as for a
    // missing one.
    char displayName[256];
    if (!FindLine(script, "Uninstall", installSection, 2, displayName, sizeof(displayName)) ||
        displayName[0] == '\0')
        BufSet(displayName, sizeof(displayName), "?");
    char caption[256], pattern[1024], text[1024];
    LoadExpandedString(module, IDS_PRODUCT_TITLE, caption, sizeof(caption));
    LoadExpandedString(module, IDS_NEWER_VERSION_INSTALLED, pattern, sizeof(pattern));
    BufFormat(text, sizeof(text), pattern, displayName);
    return ShowMessageBox(owner, text, caption, MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES ? 1 : 0;
}
