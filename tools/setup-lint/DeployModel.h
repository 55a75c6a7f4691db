// What a deployment tool must be told about an installation medium: per
// uninstall entry the registry key in the view setup.exe writes, the values
// a tool detects the product by, the commands that install and remove it
// without anyone at the machine, and whether a restart may follow; for the
// medium the exit codes of setup.exe and what a tool cannot detect. Built
// from the plans of "setup-lint --plan", so the values are those the run
// writes.
#pragma once

#include "ScriptLint.h"

#include <string>
#include <vector>

// Where one build of setup.exe writes an uninstall entry on one kind of
// Windows, and the paths in its values there (a 32-bit program on 64-bit
// Windows gets the 32-bit program folders).
struct DeployView
{
    std::string windows;          // "64-bit" or "32-bit" Windows
    std::string view;             // the registry view: "64-bit" or "32-bit"
    std::string registryKey;      // HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\KEY
    std::string installLocation;  // InstallLocation, symbolic (%ProgramFiles%\...)
    std::string uninstallString;
    std::string quietUninstallString;  // the silent removal command
};

// How one run (an installation or a removal) may end.
struct DeployRun
{
    int exitCode = 0;                      // without a restart or failure on the machine
    std::vector<std::string> restart;      // why the run asks for a restart (then 3010)
    std::vector<std::string> mayRestart;   // what only the machine can tell that would ask for one
};

struct DeployEntry
{
    std::string key;                    // the uninstall key's name (the product code of the tools)
    std::vector<std::string> products;  // the product keys whose entry it is
    bool wholeInstallation = false;     // the install section's Uninstall key
    std::string displayName, displayVersion, publisher, helpLink;
    std::string versionFrom;            // where DisplayVersion comes from, for people
    std::vector<DeployView> views;
    std::string installCommand;         // silent, from the medium's folder
    std::string installCommandTargetLog;  // the same with /target: and /log: placeholders
    DeployRun install, remove;
    std::vector<std::string> notes;
};

// A switch the commands use, and why a deployment needs it.
struct DeploySwitch
{
    std::string text;
    std::string why;
};

struct Deployment
{
    std::string script;            // the path of setup.inf as read
    std::string architecture;      // x64 or x86 (setup.exe's machine type); empty when unknown
    std::string windows = "10.0";  // the Windows version the plans are made for
    std::string installSwitches;   // the switches of every silent installation, after the product choice
    std::vector<DeploySwitch> switches;
    std::vector<DeployEntry> entries;
    // The entries the default silent installation (/quiet) writes: what a
    // package for the whole medium is detected by (keys of `entries`).
    std::vector<std::string> defaultEntries;
    std::string defaultInstallCommand;
    std::string description;       // the first installed product's description
    std::string licence;           // the title of setup.exe's English licence text (code page 1252); empty: none
    std::vector<std::string> undetectable;  // what a tool cannot detect or do, and why
    std::vector<LintFinding> problems;      // the findings of setup-lint on the script

    // The entry of `key` (any case), or null.
    const DeployEntry* Find(const std::string& key) const;
    // True when a tool can be told everything: no undetectable fact, no error.
    bool Complete() const;
};
