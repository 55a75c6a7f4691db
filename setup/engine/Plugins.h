// Plug-in libraries named by the `Plugins` keys of setup.inf: collection at
// start-up, their wizard pages while the wizard is built, their steps during
// the installation run, and the release after the wizard. The interface the
// libraries implement is in PluginInterface.h.
//
//   [Install]   Plugins = modemcfg.dll:COM3, modemcfg.dll:COM4, extra.dll
//
// Life cycle (one per setup run):
//   CollectPlugins       main thread, after the products were read
//   PluginPageCount      main thread, wizard construction: pages per level
//   FillPluginPages      main thread, wizard construction: page records
//   RunPluginSteps       run thread, at levels 0, 1, 2, 4, 3, 5
//   ReleasePlugins       main thread, after the wizard has closed
// Libraries stay loaded from collection to release.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <atomic>
#include <cstddef>

// Control of the page that shows a step's status text: the status line of
// the ready-to-install page, the product-name line of the removal page.
enum : int { kPluginStatusControl = 1203 };

// Collects the plug-ins of one run, after ReleasePlugins of what an earlier
// call collected: first the global section (`removeSection` in remove mode,
// else `installSection`), whose listings see a constant 1 as selection flag;
// then every product of the global component list in list order (in install
// mode only those whose flags, field 4 of the product line, have bit 1):
// its install (field 2) or remove (field 3) section, with the product's own
// selection flag. Per listing: the library is loaded once per path, must
// pass the version gate, and is asked for its steps and its pages at levels
// 0 to 9. Libraries that cannot be loaded or are refused add nothing,
// silently. A listing that reports pages but does not export
// GetPluginPages adds no pages. Main thread.
void CollectPlugins(HINF script, const char* installSection, const char* removeSection,
                    const char* productsSection, int removeMode);

// Number of plug-in pages at `level` (0 to 9) over all listings.
int PluginPageCount(int level);

// Size of one page record: PluginPageWizard97 when `wizard97` is non-zero,
// else PluginPageClassic (48 or 40 bytes in 32-bit builds).
size_t PluginPageRecordSize(int wizard97);

// Has the listings with pages at `level` write their records, in
// collection order, from `first` on (room for PluginPageCount(level)
// records of PluginPageRecordSize(wizard97) bytes). Each listing gets its
// parameter text read again from the script. Returns the record after the
// last one written. Main thread, while the wizard is built.
void* FillPluginPages(int level, void* first, int wizard97);

// Runs the steps of `level` (0 to 5) in collection order on the calling
// thread (the run thread). Per step: the bar's range and position 0, the
// step's status text into control kPluginStatusControl of `page`, the bar
// shown when the range is not 0 and hidden otherwise (all by sent
// messages, so the main thread must be pumping); then the step function
// with its parameter text read again from the script. A step that asks
// for a restart sets `*rebootNeeded`. The step gets the queue callback only
// at levels 0 and 1 with a `fileQueue` (not yet committed); its copies and
// deletions happen when the caller commits. The bar is shown after the
// level. `progressBar`, `fileQueue` and `page` may be null.
void RunPluginSteps(int level, HWND page, HWND progressBar, HSPFILEQ fileQueue, int installing,
                    const char* targetDirectory, std::atomic<int>* rebootNeeded);

// Frees the steps and page sets and unloads every library. Main thread,
// after the wizard (no step or page may run any more).
void ReleasePlugins();
