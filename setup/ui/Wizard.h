// The setup wizard: the property sheet with the welcome, licence,
// components, target-directory, ready, finish and removal pages and the
// plug-in pages, owned by the hidden window.
#pragma once

#include "ExitCodes.h"
#include "SetupContext.h"

// Builds and shows the wizard for `context` modally (owner context->owner;
// at the removal page when context->removeMode is set) and returns when it
// closes: Finished after a successful run, Cancelled when the user left it
// without a run, Failed when the last run failed. Main thread only.
RunOutcome ShowWizard(SetupContext* context);
