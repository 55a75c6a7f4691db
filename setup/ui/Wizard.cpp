#include "Wizard.h"

#include "BenchTrace.h"
#include "CommonControls.h"
#include "DebugLog.h"
#include "PageSupport.h"
#include "PageTemplates.h"
#include "Plugins.h"
#include "WizardLayout.h"
#include "WizardPages.h"
#include "resource.h"

#include <prsht.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

// The sheet header: with watermark and header bitmaps in the Wizard 97
// look, without them (up to the callback) in the classic one.
constexpr DWORD kClassicHeaderSize = offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK);
#ifndef _WIN64
static_assert(sizeof(PROPSHEETHEADERA) == 52 && kClassicHeaderSize == 40, "sheet header sizes");
#endif

namespace {

struct BuiltinPageInfo
{
    UINT dialog;
    DLGPROC proc;
    UINT headerTitle;     // interior pages; 0 for exterior pages
    UINT headerSubtitle;
};

const BuiltinPageInfo kBuiltinInfo[kBuiltinPages] = {
    {IDD_WELCOME, WelcomePageProc, 0, 0},
    {IDD_LICENCE, LicencePageProc, IDS_LICENCE_TITLE, IDS_LICENCE_SUBTITLE},
    {IDD_COMPONENTS, ComponentsPageProc, IDS_COMPONENTS_TITLE, IDS_COMPONENTS_SUBTITLE},
    {IDD_TARGET, TargetPageProc, IDS_TARGET_TITLE, IDS_TARGET_SUBTITLE},
    {IDD_READY, ReadyPageProc, IDS_READY_TITLE, IDS_READY_SUBTITLE},
    {IDD_FINISH, FinishPageProc, 0, 0},
    {IDD_REMOVAL, RemovalPageProc, 0, 0},
    {IDD_REMOVAL_FINISHED, RemovalFinishedPageProc, 0, 0},
};

// Classic pages are made from in-memory templates; each page frees its own
// when the sheet releases it.
UINT CALLBACK ReleaseTemplate(HWND, UINT message, PROPSHEETPAGEA* record)
{
    if (message == PSPCB_RELEASE && record)
        FreePageTemplate(record->pResource);
    return 1;
}

// Fills the record of built-in page `page` at `record` (`size` bytes, the
// look's record size). False when a classic template cannot be made.
bool FillBuiltinPage(void* record, size_t size, BuiltinPage page, SetupContext* context)
{
    const BuiltinPageInfo& info = kBuiltinInfo[page];
    const bool interior = info.headerTitle != 0;
    PROPSHEETPAGEA_V2 fill = {};
    fill.dwSize = static_cast<DWORD>(size);
    fill.dwFlags = PSP_USETITLE;
    fill.hInstance = context->module;
    fill.pfnDlgProc = info.proc;
    fill.pszTitle = context->productTitle;
    fill.lParam = reinterpret_cast<LPARAM>(context);
    if (context->wizardStyle != 0) {
        fill.pszTemplate = MAKEINTRESOURCEA(info.dialog);
        if (interior) {
            fill.dwFlags |= PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
            fill.pszHeaderTitle = MAKEINTRESOURCEA(info.headerTitle);
            fill.pszHeaderSubTitle = MAKEINTRESOURCEA(info.headerSubtitle);
        } else {
            fill.dwFlags |= PSP_HIDEHEADER;
        }
    } else {
        const UINT watermark = context->colourDepth <= 8 ? IDB_WATERMARK_256 : IDB_WATERMARK;
        DLGTEMPLATE* block =
            interior ? LoadInteriorPageTemplate(context->module, info.dialog, info.headerTitle, info.headerSubtitle)
                     : LoadWelcomePageTemplate(context->module, info.dialog, watermark);
        if (!block) {
            DebugErrorPrint("wizard: no classic template for dialog %u\n", info.dialog);
            DebugReportLastError();
            return false;
        }
        fill.dwFlags |= PSP_DLGINDIRECT | PSP_USECALLBACK;
        fill.pResource = block;
        fill.pfnCallback = ReleaseTemplate;
    }
    std::memcpy(record, &fill, size);
    return true;
}

// Frees the classic templates of records that never reached the sheet.
void FreeTemplates(unsigned char* records, size_t size, int count)
{
    for (int i = 0; i < count; ++i) {
        auto* record = reinterpret_cast<PROPSHEETPAGEA*>(records + static_cast<size_t>(i) * size);
        if ((record->dwFlags & PSP_DLGINDIRECT) && record->pfnCallback == ReleaseTemplate)
            FreePageTemplate(record->pResource);
    }
}

// Fills all records in sheet order: plug-in levels through their
// libraries, built-in pages here.
bool FillRecords(unsigned char* records, size_t size, const WizardLayout& layout, SetupContext* context)
{
    const int wizard97 = context->wizardStyle != 0 ? 1 : 0;
    unsigned char* next = records;
    for (int i = 0; i < layout.slotCount; ++i) {
        const WizardSlot& slot = layout.slots[i];
        if (slot.level >= 0) {
            FillPluginPages(slot.level, next, wizard97);
        } else if (!FillBuiltinPage(next, size, slot.page, context)) {
            FreeTemplates(records, size, static_cast<int>((next - records) / static_cast<ptrdiff_t>(size)));
            return false;
        }
        next += static_cast<size_t>(slot.pages) * size;
    }
    return true;
}

RunOutcome Outcome()
{
    if (LastRunFailed())
        return RunOutcome::Failed;
    if (AnyRunSucceeded() || WizardFinished())
        return RunOutcome::Finished;
    return RunOutcome::Cancelled;
}

}  // namespace

RunOutcome ShowWizard(SetupContext* context)
{
    int counts[kPluginLevels];
    for (int level = 0; level < kPluginLevels; ++level)
        counts[level] = PluginPageCount(level);
    const WizardLayout layout = LayOutWizard(counts);
    *context->postInstallPage = layout.postInstall;
    *context->postRemovePage = layout.postRemove;

    const int wizard97 = context->wizardStyle != 0 ? 1 : 0;
    const size_t size = PluginPageRecordSize(wizard97);
    auto* records = static_cast<unsigned char*>(std::calloc(static_cast<size_t>(layout.total), size));
    if (!records) {
        DebugErrorPrint("wizard: out of memory for %d pages\n", layout.total);
        return RunOutcome::Failed;
    }
    if (!FillRecords(records, size, layout, context)) {
        std::free(records);
        return RunOutcome::Failed;
    }

    PROPSHEETHEADERA header = {};
    header.hwndParent = context->owner;
    header.hInstance = context->module;
    header.nPages = static_cast<UINT>(layout.total);
    header.nStartPage = context->removeMode ? static_cast<UINT>(layout.removalStart) : 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(records);
    if (wizard97) {
        const bool lowColour = context->colourDepth <= 8;
        header.dwSize = sizeof(PROPSHEETHEADERA);
        header.dwFlags = PSH_WIZARD97 | PSH_WATERMARK | PSH_HEADER | PSH_PROPSHEETPAGE;
        header.pszbmWatermark = MAKEINTRESOURCEA(lowColour ? IDB_WATERMARK_256 : IDB_WATERMARK);
        header.pszbmHeader = MAKEINTRESOURCEA(lowColour ? IDB_HEADER_256 : IDB_HEADER);
    } else {
        header.dwSize = kClassicHeaderSize;
        header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE;
    }

    ResetWizardRecord();
    BENCH_MARK("sheet");
    const INT_PTR result = comctl::PropertySheet(reinterpret_cast<LPCPROPSHEETHEADERA>(&header));
    if (result < 0) {
        DebugErrorPrint("wizard: the property sheet could not be shown\n");
        DebugReportLastError();
    }
    BENCH_MARK("sheet-closed");
    std::free(records);
    return result < 0 ? RunOutcome::Failed : Outcome();
}
