// The calling interface between setup and its plug-in and condition
// libraries: exported names, argument lists and the step record. A plug-in
// is a DLL in setup's own directory, named in a `Plugins` or condition line
// of setup.inf. Product teams compile their plug-ins against this header.
//
// Rules for every export: found by its exact undecorated name (export it
// through a .def file or extern "C" with __cdecl, never __stdcall, whose
// x86 names carry "@n"); C calling convention, the caller removes the
// arguments; texts are 8-bit ANSI, NUL-terminated. No C++ exception may
// leave an export.
//
// Calling order, all on setup's main thread unless noted:
//   GetVersionNumber     before anything else; the library is used only
//                        when it returns 1 or less (signed: 0 and -1 pass)
//   QueryPlugin          once per listing of the library in the script
//   QueryPluginSteps     then, per listing; GetPluginStep per step index
//   QueryPluginPages     then, per listing, for levels 0 to 9 in order
//   GetPluginPages       while the wizard is built, per level with pages
//   step functions       during the installation run, on the run thread
// A library listed several times is loaded once and asked once per listing,
// each time with that listing's parameter text (the text after the first
// ":" of the listing, "" without one). It stays loaded until the wizard has
// closed, so pages and steps may call into it at any time in between.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>
#include <setupapi.h>

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    kPluginNameSize = 256,     // export name of a step, terminator included
    kPluginStatusSize = 1024,  // status text of a step, terminator included
    kPluginFailTextSize = 1024 // failure text of a condition library
};

// One installation step, allocated by setup and filled by GetPluginStep.
// The plug-in fills the first four members; setup fills the rest after the
// call. 1312 bytes in 32-bit builds; 64-bit builds keep the plug-in's part
// at the same offsets and use the platform's own handle and line sizes
// behind it (1328 bytes).
typedef struct PluginStep
{
    int level;                        // runs at this level (0 to 5; others never)
    char exportName[kPluginNameSize]; // the step function in the same library
    char status[kPluginStatusSize];   // shown in the page's status line while it runs
    int progressRange;                // bar runs 0..range (low 16 bits); 0 hides the bar
    HMODULE module;                   // set by setup
    INFCONTEXT scriptLine;            // set by setup: the `Plugins` line
    DWORD field;                      // set by setup: the line's field naming the library
} PluginStep;

// Handed to step functions. ProgressCallback sets the position of the
// page's progress bar (within the step's range) and returns the previous
// position. QueueCallback queues on the run's file queue the copy of
// `source` to `target` (`copyStyle`: the Setup API's SP_COPY_* flags), or
// with a null `target` the deletion of `source`; paths are split at their
// last backslash (a source without a backslash lies in setup.exe's folder, a
// target without one in the current directory, the system folder). The queued
// operations happen when setup commits its queue.
typedef int(__cdecl* ProgressCallbackFn)(int position);
typedef void(__cdecl* QueueCallbackFn)(const char* source, const char* target, unsigned int copyStyle);

// Required: the interface version the library implements (1).
typedef int(__cdecl* GetVersionNumberFn)(void);

// `selected` points to the product's selection flag (non-zero: the product
// is chosen), or to a constant 1 for a listing in the global install or
// remove section; the plug-in may keep the pointer and read it later.
typedef void(__cdecl* QueryPluginFn)(int* selected, const char* parameter);

// Number of steps of this listing; a missing export counts as 0.
typedef int(__cdecl* QueryPluginStepsFn)(const char* parameter);

// Fills step `index` (0-based): level, export name, status text, range.
typedef void(__cdecl* GetPluginStepFn)(PluginStep* step, int index, const char* parameter);

// Number of wizard pages this listing adds at `level` (0 to 9).
typedef int(__cdecl* QueryPluginPagesFn)(int level, const char* parameter);

// Writes the listing's pages of `level` as complete property-sheet page
// records from `first` on: PluginPageWizard97 records when `wizard97` is
// non-zero, else PluginPageClassic records (dwSize set to the record size;
// the plug-in's own instance, dialog template, dialog procedure and flags).
typedef void(__cdecl* GetPluginPagesFn)(int level, void* first, int wizard97, const char* parameter);

// A step function, named by PluginStep::exportName. `queue` is null except
// at levels 0 and 1 (before setup commits its file queue). `installing` is
// 1 for an installation, 0 for a removal. Setting *restart non-zero asks for
// a Windows restart after setup. Runs on setup's run thread; `page` belongs
// to the main thread (use sent messages only).
typedef void(__cdecl* PluginStepFn)(ProgressCallbackFn progress, QueueCallbackFn queue, HWND page,
                                    int installing, int* restart, const char* parameter,
                                    const char* targetDirectory);

// Condition library: a condition function returns non-zero when the
// condition holds. After a 0, GetLastFailMessage fills `text`
// (kPluginFailTextSize bytes, terminated) with the reason setup shows.
typedef int(__cdecl* ConditionFn)(void);
typedef void(__cdecl* GetLastFailMessageFn)(char* text);

// Page records of GetPluginPages: the property-sheet page record with
// header titles (Wizard97 look) and without (classic look). 48 and 40 bytes
// in 32-bit builds; 64-bit builds use the platform's own sizes (88 and 72).
typedef PROPSHEETPAGEA_V2 PluginPageWizard97;
typedef PROPSHEETPAGEA_V1 PluginPageClassic;

#ifdef __cplusplus
}  // extern "C"
#endif

// The layouts are part of the interface: a change here breaks every
// plug-in that was built against the old one.
#ifdef __cplusplus
#define PLUGIN_LAYOUT_CHECK(condition, what) static_assert(condition, what)
#else
#define PLUGIN_LAYOUT_CHECK(condition, what) _Static_assert(condition, what)
#endif
#ifdef _WIN64
PLUGIN_LAYOUT_CHECK(sizeof(PluginStep) == 1328, "PluginStep, 64-bit");
PLUGIN_LAYOUT_CHECK(offsetof(PluginStep, module) == 1288 && offsetof(PluginStep, scriptLine) == 1296 &&
                  offsetof(PluginStep, field) == 1320,
              "PluginStep setup part, 64-bit");
PLUGIN_LAYOUT_CHECK(sizeof(PluginPageWizard97) == 88 && sizeof(PluginPageClassic) == 72, "page records, 64-bit");
#else
PLUGIN_LAYOUT_CHECK(sizeof(PluginStep) == 1312, "PluginStep");
PLUGIN_LAYOUT_CHECK(offsetof(PluginStep, module) == 1288 && offsetof(PluginStep, scriptLine) == 1292 &&
                  offsetof(PluginStep, field) == 1308,
              "PluginStep setup part");
PLUGIN_LAYOUT_CHECK(sizeof(INFCONTEXT) == 16, "line position");
PLUGIN_LAYOUT_CHECK(sizeof(PluginPageWizard97) == 48 && sizeof(PluginPageClassic) == 40, "page records");
PLUGIN_LAYOUT_CHECK(offsetof(PluginPageWizard97, pszHeaderTitle) == 40 &&
                  offsetof(PluginPageWizard97, pszHeaderSubTitle) == 44,
              "header titles");
#endif
PLUGIN_LAYOUT_CHECK(offsetof(PluginStep, level) == 0 && offsetof(PluginStep, exportName) == 4 &&
                  offsetof(PluginStep, status) == 260 && offsetof(PluginStep, progressRange) == 1284,
              "PluginStep plug-in part");
PLUGIN_LAYOUT_CHECK(offsetof(PluginPageClassic, dwSize) == 0 && offsetof(PluginPageClassic, hInstance) == 8,
              "page record head");
