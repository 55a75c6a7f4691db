// The shipped product as an installation leaves it in Windows, read by the
// tests of the medium: its folder, menu folder, uninstall entry and App
// Paths key; running setup.exe from a copy of the medium.
#pragma once

#include "WinTestSupport.h"

#include <windows.h>

#include <string>
#include <vector>

namespace medium {

extern const char kEntry[];    // the uninstall entry below HKLM
extern const char kAppPath[];  // the App Paths key below HKLM
extern const char* const kFiles[5];
extern const char* const kShortcuts[3];

// Text value `name` (null: the default value) of HKLM\`key`; "" when missing.
std::string MachineText(const char* key, const char* name);
bool MachineKeyExists(const char* key);
// Where the deletion of exactly `path` stands among the operations Windows
// carries out at the next restart (npos when it is not there).
size_t RestartPosition(const std::string& path);
// Whether Windows deletes exactly `path` at the next restart.
bool DeletedAtRestart(const std::string& path);

std::string TargetDir();  // Program Files\Vantor\Modem Tools
std::string MenuDir();    // the machine's Programs\Vantor Modem Tools

// A folder `name` of the run folder with the medium's files `files` (from
// `mediumDir`) in it; its Windows path.
std::string CopyMedium(const std::string& mediumDir, const std::string& name,
                       const std::vector<std::string>& files = {"setup.exe", "setup.inf", "mdmprobe.cab"});

// Runs `setup.exe` of `folder` with `arguments` and waits up to `ms`. False
// when it did not end (it is then ended); `exitCode` and whether a dialog
// of it was seen meanwhile.
bool RunSetup(const std::string& folder, const std::string& arguments, DWORD ms, DWORD* exitCode,
              bool* sawDialog = nullptr);

// A successful installation ends with Finish, which starts the modem test:
// closes its wizard as a user would.
void CloseStartedModemTest();

// What the product leaves in Windows, one line per item, comparable between
// installations: the files of its folder (their contents; only the name of
// the modem test's own log), its
// sub-folders, the shortcuts of its menu folder, the uninstall entries, the
// values of its own and of its App Paths key.
std::vector<std::string> Footprint();

// Adds a failure for everything of the product still there after a removal.
// `heldOpen`: files of the product folder that someone held open during the
// removal; they, and the folders above them (Modem Tools before Vantor),
// wait for the restart. Without them the folders are gone at once, and
// nothing of the product waits for the restart.
void ExpectNothingLeft(const std::vector<std::string>& heldOpen = {});

// The folders of removal copies in the Windows folder's Temp
// ("removal-..."), full paths.
std::vector<std::string> RemovalCopies();

// Adds a failure unless exactly one removal copy's folder is left and the
// restart deletes everything in it and then the folder itself; returns its
// path ("" when there is not exactly one).
std::string ExpectCopyLeftForTheRestart();

}  // namespace medium
