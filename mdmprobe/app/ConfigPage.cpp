#include "ConfigPage.h"

#include "LogFile.h"
#include "ModulePath.h"
#include "PageMessages.h"
#include "PortScan.h"
#include "ResString.h"
#include "TestContext.h"
#include "WizardSheet.h"
#include "resource.h"

namespace {

// The options that the connection-test check box switches on and off. They
// and the check box are hidden whenever the page is shown, until a modem is
// found.
const int kSwitchedOptions[] = {
    IDC_TEST_CONNECTION, IDC_OWN_CONNECTION, IDC_PREFIX_LABEL,         IDC_PREFIX,
    IDC_WAIT_DIALTONE,   IDC_OWN_NUMBER_LABEL, IDC_OWN_NUMBER,         IDC_LOCATION_NUMBER_LABEL,
    IDC_LOCATION_LABEL,  IDC_LOCATION,       IDC_LOCATION_NUMBER,
};

// The number of the test connection (a location) or of the user's own one.
const int kLocationControls[] = {IDC_LOCATION_NUMBER_LABEL, IDC_LOCATION_LABEL, IDC_LOCATION,
                                 IDC_LOCATION_NUMBER};
const int kOwnNumberControls[] = {IDC_OWN_NUMBER_LABEL, IDC_OWN_NUMBER};

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
    ShowItem(IDC_RUN_CONNECTION_TEST, false);
    for (int id : kSwitchedOptions)
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
    TestContext& context = *page->context_;
    WPARAM outcome = SCAN_RESULT_NONE;
    const bool found = PortScanWorker(page->scanWindow_, *context.modem, *context.log, *context.definitionFile,
                                      context.searchAllPorts, context.status, &outcome);
    context.report.scan = outcome == SCAN_RESULT_STOPPED ? ScanOutcome::Stopped
                          : outcome == SCAN_RESULT_FOUND ? ScanOutcome::Found
                                                         : ScanOutcome::NoModem;
    return found ? 1 : 0;
}

BOOL CConfigP::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg != MSG_SCAN_EVENT)
        return FALSE;
    result = 0;
    OnScanEvent(wParam, lParam);
    return TRUE;
}

void CConfigP::OnScanEvent(WPARAM code, LPARAM text)
{
    switch (code) {
    case SCAN_EVENT_PORT:
        SetItemText(IDC_MODEM, "");
        SetItemText(IDC_PORT, *reinterpret_cast<const std::string*>(text));
        return;
    case SCAN_EVENT_MODEM:
        SetItemText(IDC_MODEM, *reinterpret_cast<const std::string*>(text));
        return;
    case SCAN_RESULT_FOUND:
        ShowModemFound();
        break;
    case SCAN_RESULT_NONE:
        context_->log->Write("\n================  RESULT OF PORT SCAN  ===================\n"
                             "ERROR - No compatible modem has been detected !\n");
        SetItemText(IDC_MODEM, LoadResString(IDS_NO_MODEM));
        SetItemText(IDC_STATUS, LoadResString(IDS_NO_MODEM_FOUND));
        GetSheet()->SetWizardButtons(PSWIZB_BACK);
        break;
    default:
        context_->log->Write("\nPort scan broken by user request!\n");
        break;
    }
    // Automatic runs move on by themselves, also without a modem (the test
    // page then closes the wizard): the press goes through a disabled Next.
    if (context_->autoMode && !context_->modem->stopRequested)
        GetSheet()->PressButton(PSBTN_NEXT);
}

void CConfigP::ShowModemFound()
{
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (context_->autoMode) {
        SetItemText(IDC_STATUS, LoadResString(IDS_TESTING_MODEM));
        return;
    }
    for (int id : {IDC_RUN_CONNECTION_TEST, IDC_TEST_CONNECTION, IDC_OWN_CONNECTION, IDC_PREFIX_LABEL,
                   IDC_PREFIX, IDC_WAIT_DIALTONE})
        ShowItem(id, true);
    ShowNumberChoice(IsChecked(IDC_TEST_CONNECTION));
    // The check box keeps its state while the wizard is open.
    EnableOptions(IsChecked(IDC_RUN_CONNECTION_TEST));
    SetFocus(Item(IDC_RUN_CONNECTION_TEST));
    SetItemText(IDC_STATUS, LoadResString(IDS_PRESS_NEXT));
}

void CConfigP::EnableOptions(bool enable)
{
    for (int id : kSwitchedOptions)
        EnableItem(id, enable);
}

void CConfigP::ShowNumberChoice(bool testConnection)
{
    for (int id : kLocationControls)
        ShowItem(id, testConnection);
    for (int id : kOwnNumberControls)
        ShowItem(id, !testConnection);
}

void CConfigP::ReloadLocations()
{
    HWND combo = Item(IDC_LOCATION);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    locations_.clear();
    SetItemText(IDC_LOCATION_NUMBER, "");
    // A missing file leaves the list empty.
    if (!ReadLocationList(LocationListPath(ModuleFilePath()), locations_))
        return;
    for (const Location& location : locations_)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(location.name.c_str()));
    if (!locations_.empty()) {
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
        SetItemText(IDC_LOCATION_NUMBER, locations_.front().number);
    }
}

BOOL CConfigP::OnCommand(WORD id, WORD code)
{
    if (id == IDC_LOCATION && code == CBN_SELCHANGE) {
        HWND combo = Item(IDC_LOCATION);
        const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, selected, 0);
        if (selected == CB_ERR || length == CB_ERR)
            return TRUE;
        std::string name(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(&name[0]));
        name.resize(static_cast<size_t>(length));
        SetItemText(IDC_LOCATION_NUMBER, LocationNumber(locations_, name));
        return TRUE;
    }
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDC_RUN_CONNECTION_TEST:
        if (IsChecked(IDC_RUN_CONNECTION_TEST)) {
            EnableOptions(true);
            SetFocus(Item(IDC_TEST_CONNECTION));
            ShowNumberChoice(IsChecked(IDC_TEST_CONNECTION));
            ReloadLocations();
        } else {
            EnableOptions(false);
        }
        return TRUE;
    case IDC_TEST_CONNECTION:
        ShowNumberChoice(true);
        SetFocus(Item(IDC_LOCATION));
        return TRUE;
    case IDC_OWN_CONNECTION:
        ShowNumberChoice(false);
        SetFocus(Item(IDC_OWN_NUMBER));
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CConfigP::OnWizardNext()
{
    const bool interactive = !context_->autoMode;
    if (IsChecked(IDC_RUN_CONNECTION_TEST)) {
        context_->phoneNumber = GetItemText(IDC_PREFIX) +
                                GetItemText(IsChecked(IDC_OWN_CONNECTION) ? IDC_OWN_NUMBER : IDC_LOCATION_NUMBER);
        if (!IsChecked(IDC_WAIT_DIALTONE))
            context_->noDialTone = true;
        else if (interactive)
            context_->noDialTone = false;
    } else if (interactive) {
        context_->phoneNumber.clear();  // no test call
    }
    return 0;
}

LRESULT CConfigP::OnWizardBack()
{
    context_->modem->stopRequested = true;
    return 0;
}
