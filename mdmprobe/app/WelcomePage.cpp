#include "WelcomePage.h"

#include "TestContext.h"
#include "WizardSheet.h"
#include "resource.h"

BOOL CWelcomeP::OnInitDialog()
{
    SendMessageA(Item(IDC_WELCOME_TITLE), WM_SETFONT,
                 reinterpret_cast<WPARAM>(context_->titleFont), TRUE);
    return TRUE;
}

BOOL CWelcomeP::OnSetActive()
{
    GetSheet()->SetWizardButtons(PSWIZB_NEXT);
    return TRUE;
}
