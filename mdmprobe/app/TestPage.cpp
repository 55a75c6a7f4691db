#include "TestPage.h"

#include "TestContext.h"
#include "resource.h"

BOOL CTestP::OnInitDialog()
{
    if (context_->oldStyleWizard) {
        SendMessageA(Item(IDC_HEADING), WM_SETFONT,
                     reinterpret_cast<WPARAM>(context_->headerFont), TRUE);
    }
    return TRUE;
}
