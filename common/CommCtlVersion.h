// Version of the common-controls library, and whether it can show the
// Wizard 97 look. Shared by both programs.
#pragma once

struct CommCtlVersion
{
    bool known = false;     // false when the library could not be loaded
    unsigned major = 0;
    unsigned minor = 0;
};

// Wizard 97 pages (watermark, header bitmaps) need 5.80 or later; an unknown
// version counts as too old.
bool SupportsWizard97(const CommCtlVersion& version);

#ifdef _WIN32
// Loads `library` and asks its "DllGetVersion" export with a record whose size
// field is 20. A library that cannot be loaded leaves the version unknown; a
// missing export or a failing call counts as 4.0. Without `library`: the
// programs' comctl32, as LoadCommonControlsLibrary loads it.
CommCtlVersion QueryCommCtlVersion(const char* library = nullptr);
#endif
