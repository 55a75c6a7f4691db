#include "WizardLayout.h"

namespace {

void AddSlot(WizardLayout* layout, int level, BuiltinPage page, int pages)
{
    if (pages <= 0)
        return;
    layout->slots[layout->slotCount++] = {level, page, pages};
    layout->total += pages;
}

// Level `level` pages, or else built-in page `page`.
void AddReplaceable(WizardLayout* layout, const int counts[], int level, BuiltinPage page)
{
    if (counts[level] > 0)
        AddSlot(layout, level, page, counts[level]);
    else
        AddSlot(layout, -1, page, 1);
}

}  // namespace

WizardLayout LayOutWizard(const int counts[kPluginLevels])
{
    int n[kPluginLevels];
    for (int level = 0; level < kPluginLevels; ++level)
        n[level] = counts[level] > 0 ? counts[level] : 0;

    WizardLayout layout = {};
    AddReplaceable(&layout, n, 0, kWelcomePage);
    AddSlot(&layout, 1, kWelcomePage, n[1]);
    AddReplaceable(&layout, n, 2, kLicencePage);
    AddSlot(&layout, 3, kLicencePage, n[3]);
    AddSlot(&layout, -1, kComponentsPage, 1);
    AddSlot(&layout, 4, kComponentsPage, n[4]);
    AddSlot(&layout, -1, kTargetPage, 1);
    AddSlot(&layout, 5, kTargetPage, n[5]);
    AddReplaceable(&layout, n, 6, kReadyPage);
    AddSlot(&layout, 7, kReadyPage, n[7]);
    layout.postInstall = layout.total;
    AddSlot(&layout, 8, kFinishPage, n[8]);
    AddReplaceable(&layout, n, 9, kFinishPage);
    layout.removalStart = layout.total;
    AddSlot(&layout, -1, kRemovalPage, 1);
    layout.postRemove = layout.total;
    AddSlot(&layout, -1, kRemovalFinishedPage, 1);
    return layout;
}
