// The modem search page: shows the port scan's progress and outcome and, in
// interactive mode, asks for the test-connection settings.
#pragma once

#include "LocationList.h"
#include "WizardPage.h"

#include <vector>

struct TestContext;

class CConfigP : public CWizardPage
{
public:
    explicit CConfigP(TestContext* context) : context_(context) {}

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    LRESULT OnWizardBack() override;
    BOOL OnCommand(WORD id, WORD code) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static unsigned ScanThread(void* param);  // runs PortScanWorker for the page

    void OnScanEvent(WPARAM code, LPARAM text);
    void ShowModemFound();
    // Enables or disables the connection options below the check box.
    void EnableOptions(bool enable);
    // Shows the location controls (test connection) or the own-number
    // controls (own connection), hides the others.
    void ShowNumberChoice(bool testConnection);
    void ReloadLocations();

    TestContext* context_;
    // The page window as the scan worker sees it: set before the worker
    // starts, so the worker never reads the page's own handle while the
    // window may be going away.
    HWND scanWindow_ = nullptr;
    std::vector<Location> locations_;  // the location list, in file order
};
