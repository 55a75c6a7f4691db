// The test page: runs the test sequence and shows its progress and verdict.
#pragma once

#include "WizardPage.h"

struct TestContext;

class CTestP : public CWizardPage
{
public:
    explicit CTestP(TestContext* context) : context_(context) {}

protected:
    BOOL OnInitDialog() override;

private:
    TestContext* context_;
};
