// The modem search page: shows the port scan's progress and outcome and, in
// interactive mode, asks for the test-connection settings.
#pragma once

#include "WizardPage.h"

struct TestContext;

class CConfigP : public CWizardPage
{
public:
    explicit CConfigP(TestContext* context) : context_(context) {}

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static unsigned ScanThread(void* param);  // runs PortScanWorker for the page

    TestContext* context_;
    // The page window as the scan worker sees it: set before the worker
    // starts, so the worker never reads the page's own handle while the
    // window may be going away.
    HWND scanWindow_ = nullptr;
};
