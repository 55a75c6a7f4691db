// The wizard's pages in the order the sheet holds them, with the plug-in
// levels where plug-ins may put pages of their own, and when each page
// shows itself.
#include "PeResources.h"
#include "PlanBuild.h"
#include "WizardLayout.h"

namespace {

const uint32_t kLicenceResource = 7;

const char* PageName(BuiltinPage page)
{
    static const char* const names[] = {"welcome", "licence", "components", "target", "ready", "finish", "removal",
                                        "removal-finished"};
    return names[page];
}

bool IsReplacing(int level) { return level == 0 || level == 2 || level == 6 || level == 9; }

std::string LicenceNote(const PlanBuild& build)
{
    const std::optional<Bytes> program = build.medium.Read("setup.exe");
    if (!program) return "shown when setup.exe carries a licence text (setup.exe is not on the medium)";
    return ResourceBytes(*program, kResourceData, kLicenceResource, kLanguageEnglishUs)
               ? "shown: setup.exe carries a licence text"
               : "skipped: setup.exe carries no licence text";
}

std::string ReadyNote(const Plan& plan)
{
    std::string note = "Next starts the installation";
    for (const PlanProduct& product : plan.products)
        if (product.selected && (product.flags & 8))
            return note + "; notes that the Windows CD may be asked for (" + product.key + " has flag 8)";
    return note;
}

std::string BuiltinNote(const PlanBuild& build, BuiltinPage page)
{
    const Plan& plan = build.plan;
    switch (page) {
    case kWelcomePage: return "";
    case kLicencePage: return LicenceNote(build);
    case kComponentsPage:
        for (const PlanProduct& product : plan.products)
            if (product.listed) return "the offered products, checked as selected below";
        return "skipped: no product is offered";
    case kTargetPage:
        return "proposes " + plan.target + "; skipped when a product of this script is installed already (its "
               "directory is used again)";
    case kReadyPage: return ReadyNote(plan);
    case kFinishPage:
        return build.Key(plan.installSection, "StartApp") ? "offers the program of StartApp, and notes a needed restart"
                                                          : "notes a needed restart";
    case kRemovalPage: return "names the product; Next starts the removal";
    case kRemovalFinishedPage: return "notes a needed restart";
    }
    return "";
}

}  // namespace

void PlanPages(PlanBuild& build)
{
    Plan& plan = build.plan;
    int counts[kPluginLevels] = {};
    // Whether a plug-in offers pages, and how many, only the plug-in tells.
    if (!plan.plugins.empty())
        for (int& count : counts) count = 1;
    const WizardLayout layout = LayOutWizard(counts);
    int index = 0;
    for (int slot = 0; slot < layout.slotCount; ++slot) {
        const WizardSlot& at = layout.slots[slot];
        const bool removalPages = index >= layout.removalStart;
        index += at.pages;
        if (removalPages != build.Removing()) continue;
        if (at.level >= 0) {
            plan.pages.push_back({"plugin-pages", at.level, "the pages of level " + std::to_string(at.level) +
                                                                " the plug-ins offer, if any (asked when setup.exe "
                                                                "runs)"});
            if (!IsReplacing(at.level)) continue;
        }
        PlanPage page{PageName(at.page), -1, BuiltinNote(build, at.page)};
        if (at.level >= 0)
            page.note = "unless plug-in pages of level " + std::to_string(at.level) + " replace it" +
                        (page.note.empty() ? "" : "; " + page.note);
        plan.pages.push_back(page);
    }
}
