// The plan of a setup.exe run: what an installation or a removal from a
// medium would do on one Windows version, in the run's own order, built
// without running anything. What only the running machine can tell (a
// condition's answer, a plug-in's steps, files in use) is carried as a note,
// never guessed.
#pragma once

#include "ScriptLint.h"
#include "SectionChoice.h"

#include <string>
#include <utility>
#include <vector>

struct PlanOptions
{
    std::string medium;                   // the medium's folder, or its setup.inf
    std::string windows = "10.0";         // as given to --windows
    WindowsVersionInfo version{true, 10, 0};
    bool remove = false;                  // --remove: a removal of `keys`
    bool selectGiven = false;             // --select: install `keys` (else the default selection)
    std::string keys;                     // comma-separated product keys of --select or --remove
    bool targetGiven = false;             // --target: the target directory (id 32768)
    std::string target;
    std::string newer = "ask";            // --newer: what /newer: answers (ask, replace, keep)
    bool json = false;                    // --format json
};

// One thing the run does. `fields` are (name, text) in the order they are
// shown; the first one names what the action works on.
struct PlanItem
{
    std::string action;   // copy, delete, set-value, create-shortcut, ... (see the README)
    std::string section;  // the script section the line is in; empty when none
    int line = 0;         // its line in setup.inf; 0 when none
    std::vector<std::pair<std::string, std::string>> fields;
    std::string note;     // a condition, a consequence, or what is not known without running

    PlanItem& Field(const std::string& name, const std::string& text)
    {
        fields.emplace_back(name, text);
        return *this;
    }
};

// One phase of the run, in the run's order.
struct PlanStep
{
    std::string phase;  // exec, plugin-steps, stop-services, files, entries, firewall, file-security,
                        // services, shortcuts, start-services
    int level = -1;     // the Exec level or plug-in level; -1 for the other phases
    int status = 0;     // the status code the wizard shows from this phase on (2 to 6); 0 none
    std::string note;   // what holds for every item of the phase
    std::vector<PlanItem> items;
};

struct PlanConditionLine
{
    std::string section;   // the condition section
    int line = 0;
    std::string library;   // field 1
    std::string function;  // field 2 (the export called)
};

// The Conditions of one section: asked before the wizard (install section)
// or when the products are read (a product's install section).
struct PlanConditions
{
    std::string section;                  // whose Conditions key it is
    int line = 0;                         // the Conditions line; 0 without one
    std::vector<PlanConditionLine> lines;
    // "none" (no Conditions key), "asked" (the libraries answer when the
    // program runs), or "fail" (known to fail: `why`).
    std::string outcome = "none";
    std::string why;
};

struct PlanProduct
{
    std::string key;
    int line = 0;
    std::string name, installSection, removeSection, description;
    int flags = 0;
    std::string icon;
    std::string version;      // field 7 as written
    std::string versionText;  // resolved ("@file" read from the medium); empty when unknown
    bool listed = false;      // in the component list of this run
    PlanConditions conditions;
    bool selected = false;    // in the run's product list
    std::string note;         // why it is not listed, or what its selection depends on
};

struct PlanPlugin
{
    std::string section;
    int line = 0;
    int field = 0;
    std::string library, parameter;
    std::string selectionFlag;  // "constant 1" or "selection of product KEY"
    bool onMedium = false;
};

struct PlanPage
{
    std::string page;  // welcome, licence, components, target, ready, finish, removal, removal-finished,
                       // or plugin-pages
    int level = -1;    // the plug-in level of plugin-pages; -1 for a built-in page
    std::string note;
};

struct PlanValue
{
    std::string name, type, data;
};

struct PlanUninstallEntry
{
    std::string key;   // HKLM\...\Uninstall\<key>
    std::string kind;  // product or global
    std::vector<PlanValue> values;
};

struct Plan
{
    PlanOptions options;
    std::string script;  // the path of setup.inf as read
    std::string mode;    // install or remove
    std::string installSection, removeSection, productsSection;
    PlanItem newerVersionCheck;   // action "ask-newer-version", or empty
    PlanConditions conditions;    // the install section's
    std::vector<PlanProduct> products;
    std::vector<PlanPlugin> plugins;
    std::vector<PlanPage> pages;
    std::vector<std::string> productList;  // the keys the run installs or removes
    std::vector<std::string> notes;        // about the selection and the start-up
    std::string target;                    // id 32768
    std::string targetOrigin;              // given, default or recorded
    std::vector<std::string> runSections;
    std::string setupPath;                 // the installed setup.exe the uninstall entries start
    std::vector<PlanUninstallEntry> uninstallWrites;
    std::vector<std::string> uninstallDeletes;
    std::vector<PlanStep> steps;
    bool runs = true;            // false: setup.exe ends before the run (stopReason)
    std::string stopReason;
    std::string runFailure;      // a phase the run is known to fail in, and why; empty when none
    std::vector<std::string> restartReasons;  // known causes of a restart request
    std::vector<std::string> restartPossible; // causes only the running machine can tell
    PlanItem startApp;           // action "start-program" or empty
    int exitCode = 0;            // of an unattended run with the default /reboot:1
    std::vector<LintFinding> problems;
};
