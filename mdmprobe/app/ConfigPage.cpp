#include "ConfigPage.h"

#include "LogFile.h"
#include "PageMessages.h"
#include "PortScan.h"
#include "TestContext.h"
#include "WizardSheet.h"
#include "resource.h"

namespace {

// Connection options that stay hidden until a modem was found.
const int kConnectionOptions[] = {
    IDC_RUN_CONNECTION_TEST, IDC_TEST_CONNECTION, IDC_OWN_CONNECTION, IDC_PREFIX_LABEL,
    IDC_PREFIX,              IDC_WAIT_DIALTONE,   IDC_OWN_NUMBER_LABEL, IDC_OWN_NUMBER,
};

}  // namespace

BOOL CConfigP::OnInitDialog()
{
    if (context_->oldStyleWizard) {
        SendMessageA(Item(IDC_HEADING), WM_SETFONT,
                     reinterpret_cast<WPARAM>(context_->headerFont), TRUE);
    }
    for (int id : {IDC_PORT, IDC_MODEM, IDC_LOCATION_NUMBER})
        SendMessageA(Item(id), EM_SETREADONLY, TRUE, 0);
    SetCheck(IDC_TEST_CONNECTION, true);
    SetCheck(IDC_OWN_CONNECTION, false);
    SetCheck(IDC_WAIT_DIALTONE, true);
    return TRUE;
}

BOOL CConfigP::OnSetActive()
{
    // Next stays disabled until a modem is found.
    GetSheet()->SetWizardButtons(PSWIZB_BACK);
    SetItemText(IDC_PORT, "");
    SetItemText(IDC_MODEM, "");
    SetItemText(IDC_STATUS, "");
    for (int id : kConnectionOptions)
        ShowItem(id, false);

    // A worker stopped by Back (scan or test run) ends before the flag is
    // cleared, so it never goes on next to the new scan; the result it
    // posted is handled before anything of the new scan arrives.
    ModemInfo& modem = *context_->modem;
    context_->worker.Wait();
    MSG msg;
    while (PeekMessageA(&msg, GetSafeHwnd(), MSG_SCAN_EVENT, MSG_SCAN_EVENT, PM_REMOVE))
        DispatchMessageA(&msg);
    modem.stopRequested = false;

    if (modem.modemName.empty()) {
        scanWindow_ = GetSafeHwnd();
        if (!context_->worker.Start(ScanThread, this))
            PostMessageA(GetSafeHwnd(), MSG_SCAN_EVENT, SCAN_RESULT_NONE, 0);
    } else {
        // Found earlier in this run: not searched again.
        SendMessageA(GetSafeHwnd(), MSG_SCAN_EVENT, SCAN_EVENT_PORT,
                     reinterpret_cast<LPARAM>(&modem.port));
        SendMessageA(GetSafeHwnd(), MSG_SCAN_EVENT, SCAN_EVENT_MODEM,
                     reinterpret_cast<LPARAM>(&modem.modemName));
        PostMessageA(GetSafeHwnd(), MSG_SCAN_EVENT, SCAN_RESULT_FOUND, 0);
    }
    return TRUE;
}

unsigned CConfigP::ScanThread(void* param)
{
    auto* page = static_cast<CConfigP*>(param);
    return PortScanWorker(page->scanWindow_, *page->context_) ? 1 : 0;
}

BOOL CConfigP::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg != MSG_SCAN_EVENT)
        return FALSE;
    result = 0;
    switch (wParam) {
    case SCAN_EVENT_PORT:
        SetItemText(IDC_MODEM, "");
        SetItemText(IDC_PORT, *reinterpret_cast<const std::string*>(lParam));
        break;
    case SCAN_EVENT_MODEM:
        SetItemText(IDC_MODEM, *reinterpret_cast<const std::string*>(lParam));
        break;
    case SCAN_RESULT_FOUND:
        GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        break;
    case SCAN_RESULT_NONE:
        context_->log->Write("\n================  RESULT OF PORT SCAN  ===================\n"
                             "ERROR - No compatible modem has been detected !\n");
        break;
    default:
        context_->log->Write("\nPort scan broken by user request!\n");
        break;
    }
    return TRUE;
}

LRESULT CConfigP::OnWizardBack()
{
    context_->modem->stopRequested = true;
    return 0;
}
