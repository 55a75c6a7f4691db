// Where the pages of the setup wizard stand in the property sheet: eight
// built-in pages and the plug-in pages of levels 0 to 9. Plain logic
// without windows.h.
//
//   level 0 pages, or else the welcome page
//   level 1 pages
//   level 2 pages, or else the licence page
//   level 3 pages
//   the components page
//   level 4 pages
//   the target-directory page
//   level 5 pages
//   level 6 pages, or else the ready-to-install page
//   level 7 pages
//   level 8 pages
//   level 9 pages, or else the finish page
//   the removal page
//   the removal-finished page
//
// A successful installation jumps to the first level-8 page (or the finish
// page), past the level-7 pages: those follow pages of level 6 that replace
// the ready page and run their own work.
#pragma once

enum : int {
    kPluginLevels = 10,
    kBuiltinPages = 8,
    kMaxWizardSlots = 14,
};

enum BuiltinPage : int {
    kWelcomePage,
    kLicencePage,
    kComponentsPage,
    kTargetPage,
    kReadyPage,
    kFinishPage,
    kRemovalPage,
    kRemovalFinishedPage,
};

// One stretch of the sheet: a built-in page (level -1) or all pages of one
// plug-in level (`pages` of them).
struct WizardSlot
{
    int level;  // 0 to 9, or -1 for a built-in page
    BuiltinPage page;
    int pages;
};

struct WizardLayout
{
    int slotCount;
    WizardSlot slots[kMaxWizardSlots];
    int total;          // pages in the sheet
    int postInstall;    // zero-based index of the first page after an installation
    int removalStart;   // index of the removal page
    int postRemove;     // index of the removal-finished page
};

// The layout for `counts[k]` plug-in pages at level k (negative counts
// count as 0).
WizardLayout LayOutWizard(const int counts[kPluginLevels]);
