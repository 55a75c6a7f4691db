// Licence page: the program's licence text (RCDATA 7, rich text in the UI
// language) in a read-only rich-edit box. Without that resource the page
// never shows; in unattended operation it skips itself.
#include "ClassicPageLayout.h"
#include "PageSupport.h"
#include "WizardPages.h"
#include "resource.h"

#include <richedit.h>

#include <prsht.h>

namespace {

// Where the stream callback stands in the resource bytes.
struct LicenceStream
{
    const BYTE* data;
    LONG size;
    LONG read;
};

DWORD CALLBACK ReadLicence(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given)
{
    auto* stream = reinterpret_cast<LicenceStream*>(cookie);
    LONG count = stream->size - stream->read;
    if (count > wanted)
        count = wanted;
    CopyMemory(buffer, stream->data + stream->read, static_cast<SIZE_T>(count));
    stream->read += count;
    *given = count;
    return 0;
}

// The licence resource in the UI language, else as the resource look-up
// of the thread finds it.
HRSRC FindLicence(const SetupContext* context)
{
    HRSRC info = FindResourceExA(context->module, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(IDR_LICENCE),
                                 context->language);
    if (!info)
        info = FindResourceA(context->module, MAKEINTRESOURCEA(IDR_LICENCE), MAKEINTRESOURCEA(10));
    return info;
}

// Streams the licence into the box; false when the program has none. An
// unattended run never shows the page, so there the text stays unread and
// only its presence counts.
bool LoadLicence(HWND box, const SetupContext* context)
{
    HRSRC info = FindLicence(context);
    HGLOBAL handle = info ? LoadResource(context->module, info) : nullptr;
    const BYTE* data = handle ? static_cast<const BYTE*>(LockResource(handle)) : nullptr;
    if (!data)
        return false;
    if (Unattended(context))
        return true;
    LicenceStream stream = {data, static_cast<LONG>(SizeofResource(context->module, info)), 0};
    EDITSTREAM edit = {};
    edit.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
    edit.pfnCallback = ReadLicence;
    SendMessageA(box, EM_STREAMIN, SF_RTF | SFF_PLAINRTF, reinterpret_cast<LPARAM>(&edit));
    return true;
}

}  // namespace

INT_PTR CALLBACK LicencePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetupContext* context = InitialContext(lParam);
        HWND box = GetDlgItem(page, IDC_LICENCE_TEXT);
        SetWindowLongPtrA(box, GWL_EXSTYLE, GetWindowLongPtrA(box, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        SetWindowPos(box, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        // A little room between the frame and the text (pixels): the
        // formatting rectangle inside the client area, which every rich-edit
        // version honours.
        RECT text = {};
        GetClientRect(box, &text);
        InflateRect(&text, -4, -2);
        SendMessageA(box, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
        if (box && LoadLicence(box, context)) {
            SetPageContext(page, context);
            SetControlFont(page, kHeaderTitleId, context->textFont);
        }
        return TRUE;
    }
    case WM_COMMAND:
        // Entering the box shows the start of the text, nothing selected.
        if (LOWORD(wParam) == IDC_LICENCE_TEXT && HIWORD(wParam) == EN_SETFOCUS)
            SendMessageA(reinterpret_cast<HWND>(lParam), EM_SETSEL, 0, 0);
        return FALSE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            const SetupContext* context = PageContext(page);
            if (!context || Unattended(context))
                return Answer(page, -1);
            SetButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
            return Answer(page, 0);
        }
        return FALSE;
    case WM_DESTROY:
        RemovePageContext(page);
        return FALSE;
    default:
        return FALSE;
    }
}
