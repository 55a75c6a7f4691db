#include "ConfigPage.h"

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
    context_->modem->stopRequested = false;
    return TRUE;
}

LRESULT CConfigP::OnWizardBack()
{
    context_->modem->stopRequested = true;
    return 0;
}
