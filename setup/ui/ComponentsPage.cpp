// Components page: the offered products in a check-list box with their
// images, checked by default unless the installed version is newer (such
// rows are dimmed, and checking one asks first; /newer:replace has answered
// that for all of them); the description of the
// selected product below; Next only with a checked row. Leaving the page
// writes the product list. Skipped when the command line named a product,
// and in unattended operation, where the list comes from "/quiet:a,b" or
// from the default selection.
#include "BufCopy.h"
#include "CheckList.h"
#include "ClassicPageLayout.h"
#include "CommonControls.h"
#include "ComponentList.h"
#include "MessageBoxes.h"
#include "PageRules.h"
#include "PageSupport.h"
#include "ProductList.h"
#include "Products.h"
#include "References.h"
#include "ScriptFields.h"
#include "ScriptLines.h"
#include "Versions.h"
#include "WizardPages.h"
#include "resource.h"

#include <prsht.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

const COLORREF kTeal = RGB(0, 128, 128);
const int kCheckedImage = 13;
const int kUncheckedImage = 14;
const int kImageSize = 16;

struct ComponentsPage
{
    SetupContext* context = nullptr;
    HIMAGELIST images = nullptr;
    std::vector<int> rows;  // the component list index of every row
};

ComponentsPage* StateOf(HWND page)
{
    return reinterpret_cast<ComponentsPage*>(GetWindowLongPtrA(page, DWLP_USER));
}

HWND ListOf(HWND page)
{
    return GetDlgItem(page, IDC_COMPONENT_LIST);
}

int ProductFlags(const SetupContext* context, int index)
{
    char flags[16] = "";
    return ProductField(context->script, index, 4, flags, sizeof(flags), context->productsSection)
               ? ScriptDecimal(flags)
               : 0;
}

// Whether component `index` is listed: a key and the offered bit.
bool Listed(const SetupContext* context, int index)
{
    const char* key = ComponentListName(index);
    return key && key[0] != '\0' && (ProductFlags(context, index) & kProductOffered) != 0;
}

// Collects the icon and version references of the listed products and
// resolves them in one pass over the installation source. An unattended
// run never shows the rows, so it reads only the versions (they decide the
// default selection), not the icons.
void ResolveProductReferences(const SetupContext* context, ReferenceTable* table)
{
    const bool icons = !Unattended(context);
    for (int index = 0; index < ComponentListCount(); ++index) {
        if (!Listed(context, index))
            continue;
        char field[MAX_PATH] = "";
        if (icons && ProductField(context->script, index, 5, field, sizeof(field), context->productsSection) &&
            std::strchr(field, '@'))
            AddIconReference(table, field);
        if (ProductField(context->script, index, 7, field, sizeof(field), context->productsSection) &&
            field[0] == '@')
            AddVersionReference(table, field);
    }
    ResolveReferences(table, context->script);
}

// Whether the installed version of component `index` is newer than its
// version field (an unresolved reference counts as not newer).
bool NewerInstalled(const SetupContext* context, const ReferenceTable* table, int index)
{
    char field[kVersionTextSize] = "";
    if (!ProductField(context->script, index, 7, field, sizeof(field), context->productsSection))
        return false;
    const char* version = field[0] == '@' ? VersionOf(table, field) : field;
    return version && CompareVersions(ComponentListName(index), version) < 0;
}

// The row's image: a referenced icon added to the image list (image 0 when
// the file gave none), else the image number of field 5 (0 without one).
int ProductImage(ComponentsPage* state, const ReferenceTable* table, int index)
{
    char field[MAX_PATH] = "";
    if (!ProductField(state->context->script, index, 5, field, sizeof(field), state->context->productsSection))
        return 0;
    if (!std::strchr(field, '@'))
        return ScriptDecimal(field);
    HICON icon = IconOf(table, field);
    const int image = icon ? comctl::ImageListAddIcon(state->images, icon) : -1;
    return image < 0 ? 0 : image;
}

// Fills the list with the listed products. Returns the number of products
// of the global component list.
int FillList(HWND page, ComponentsPage* state)
{
    const SetupContext* context = state->context;
    HWND list = ListOf(page);
    ReferenceTable* table = NewReferenceTable();
    if (table)
        ResolveProductReferences(context, table);
    for (int index = 0; index < ComponentListCount(); ++index) {
        if (!Listed(context, index))
            continue;
        char name[1024] = "";
        ProductField(context->script, index, 1, name, sizeof(name), context->productsSection);
        const LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (row < 0)
            break;
        state->rows.push_back(index);
        // /newer:replace has answered the question for every product.
        const bool newer = table && context->newer != NewerAnswer::Replace && NewerInstalled(context, table, index);
        const bool checked = (ProductFlags(context, index) & kProductPreselected) != 0 && !newer;
        SetCheckListImage(list, static_cast<int>(row), table ? ProductImage(state, table, index) : 0, newer ? 1 : 0);
        SetCheckListState(list, static_cast<int>(row), checked ? 1 : 0);
    }
    if (table)
        FreeReferenceTable(table);
    return ComponentListCount();
}

// The component indexes of the checked rows, in list order.
std::vector<int> CheckedComponents(HWND page, const ComponentsPage* state)
{
    std::vector<int> checked;
    for (size_t row = 0; row < state->rows.size(); ++row) {
        if (CheckListState(ListOf(page), static_cast<int>(row)))
            checked.push_back(state->rows[row]);
    }
    return checked;
}

void ShowDescription(HWND page, const ComponentsPage* state)
{
    char text[1024] = "";
    const LRESULT row = SendMessageA(ListOf(page), LB_GETCURSEL, 0, 0);
    if (row >= 0 && static_cast<size_t>(row) < state->rows.size())
        ProductField(state->context->script, state->rows[static_cast<size_t>(row)], 6, text, sizeof(text),
                     state->context->productsSection);
    SetDlgItemTextA(page, IDC_PAGE_TITLE, text);
}

void UpdateButtons(HWND page, const ComponentsPage* state)
{
    SetButtons(page, CheckedComponents(page, state).empty() ? PSWIZB_BACK : PSWIZB_BACK | PSWIZB_NEXT);
}

// Checking a row whose installed version is newer asks first; any answer
// but Yes refuses the check.
bool AllowCheck(HWND page, const ComponentsPage* state, int row)
{
    if (!CheckListDimmed(ListOf(page), row))
        return true;
    char name[1024] = "", format[512] = "", caption[128] = "", text[1600] = "";
    SendMessageA(ListOf(page), LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(name));
    LoadPageString(state->context, IDS_NEWER_VERSION_INSTALLED, format, sizeof(format));
    LoadPageString(state->context, IDS_WARNING, caption, sizeof(caption));
    BufFormat(text, sizeof(text), format, name);
    return ShowMessageBox(page, text, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// Sets every component's selection flag to whether it is in `selected`.
void SetSelectionFlags(const std::vector<int>& selected)
{
    for (int index = 0; index < ComponentListCount(); ++index)
        ComponentListSetSelected(index, 0);
    for (int index : selected)
        ComponentListSetSelected(index, 1);
}

void InitPage(HWND page, SetupContext* context)
{
    auto* state = new (std::nothrow) ComponentsPage;
    if (!state)
        return;
    state->context = context;
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SetControlFont(page, kHeaderTitleId, context->textFont);
    state->images = comctl::ImageListCreate(kImageSize, kImageSize, ILC_COLOR4 | ILC_MASK, 16, 8);
    if (HBITMAP bitmap = LoadBitmapA(context->module, MAKEINTRESOURCEA(IDB_COMPONENTS))) {
        comctl::ImageListAddMasked(state->images, bitmap, kTeal);
        DeleteObject(bitmap);
    }
    if (context->productList[0] == '\0' && FillList(page, state) > 0)
        SetPageContext(page, context);
    MakeCheckList(ListOf(page), state->images, kUncheckedImage, kCheckedImage);
    SendMessageA(ListOf(page), LB_SETCURSEL, 0, 0);
    ShowDescription(page, state);
}

INT_PTR OnActivate(HWND page, ComponentsPage* state)
{
    SetupContext* context = PageContext(page);
    if (!context)
        return Answer(page, -1);
    UpdateButtons(page, state);
    if (!Unattended(context))
        return Answer(page, 0);
    const std::vector<int> selection =
        context->quiet[0] != '\0' ? QuietSelection(context->quiet) : CheckedComponents(page, state);
    SetSelectionFlags(selection);
    WriteProductList(context, selection);
    return Answer(page, -1);
}

INT_PTR OnCommand(HWND page, ComponentsPage* state, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != IDC_COMPONENT_LIST)
        return FALSE;
    const int row = LOWORD(lParam);
    switch (HIWORD(wParam)) {
    case kCheckListChanging:
        if (HIWORD(lParam) != 0 && !AllowCheck(page, state, row))
            SetWindowLongPtrA(page, DWLP_MSGRESULT, 1);
        return TRUE;
    case kCheckListChanged:
        if (static_cast<size_t>(row) < state->rows.size())
            ComponentListSetSelected(state->rows[static_cast<size_t>(row)], HIWORD(lParam) != 0);
        if (PageContext(page))
            UpdateButtons(page, state);
        return TRUE;
    case LBN_SELCHANGE:
        ShowDescription(page, state);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR Dispatch(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitPage(page, InitialContext(lParam));
        return TRUE;
    }
    if (message == WM_MEASUREITEM && wParam == IDC_COMPONENT_LIST) {
        MeasureCheckListRow(nullptr, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), kImageSize);
        return TRUE;
    }
    ComponentsPage* state = StateOf(page);
    if (!state)
        return FALSE;
    switch (message) {
    case WM_DRAWITEM:
        if (wParam != IDC_COMPONENT_LIST)
            return FALSE;
        DrawCheckListRow(page, ListOf(page), reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        return OnCommand(page, state, wParam, lParam);
    case WM_NOTIFY:
        switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            return OnActivate(page, state);
        case PSN_WIZNEXT:
        case PSN_WIZBACK:
            if (PageContext(page))
                WriteProductList(state->context, CheckedComponents(page, state));
            return Answer(page, 0);
        default:
            return FALSE;
        }
    case WM_DESTROY:
        RemovePageContext(page);
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(page, DWLP_USER, 0);
        if (state->images)
            comctl::ImageListDestroy(state->images);
        delete state;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK ComponentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return Dispatch(page, message, wParam, lParam);
    } catch (...) {
        return FALSE;  // out of memory while listing the products
    }
}
