// First page of the interactive wizard: title and a short introduction.
#pragma once

#include "WizardPage.h"

struct TestContext;

class CWelcomeP : public CWizardPage
{
public:
    explicit CWelcomeP(TestContext* context) : context_(context) {}

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

private:
    TestContext* context_;
};
