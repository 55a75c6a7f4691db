// The exit code of a run from the wizard's outcome, its last run and the
// restart, on the host.
#include "ExitCodes.h"

#include <gtest/gtest.h>

namespace {

TEST(ExitCodes, OutcomeRestartAndFailureCombine)
{
    using O = RunOutcome;
    EXPECT_EQ(0, ExitCodeOf(O::Finished, false, false));
    EXPECT_EQ(3010, ExitCodeOf(O::Finished, true, false));
    EXPECT_EQ(1641, ExitCodeOf(O::Finished, true, true));
    EXPECT_EQ(1602, ExitCodeOf(O::Cancelled, true, false));
    EXPECT_EQ(1603, ExitCodeOf(O::Failed, true, false));
    // A restart made after a failed or cancelled run never turns it into a
    // success.
    EXPECT_EQ(1603, ExitCodeOf(O::Failed, true, true));
    EXPECT_EQ(1602, ExitCodeOf(O::Cancelled, true, true));
    // The wizard's last run decides; without one the wizard's outcome counts.
    EXPECT_EQ(O::Failed, OutcomeAfterWizard(O::Finished, 0));
    EXPECT_EQ(O::Finished, OutcomeAfterWizard(O::Failed, 1));
    EXPECT_EQ(O::Cancelled, OutcomeAfterWizard(O::Cancelled, -1));
    // /newer:keep ends before any run, with its own code, restart or not.
    EXPECT_EQ(1638, ExitCodeOf(OutcomeAfterWizard(O::KeptNewer, -1), false, false));
    EXPECT_EQ(1638, ExitCodeOf(O::KeptNewer, true, true));
    // Every code setup gives has a meaning for the logs and the usage.
    for (int code : {0, 1602, 1603, 1618, 1638, 1639, 1641, 3010})
        EXPECT_STRNE("unknown", ExitCodeMeaning(code)) << code;
    EXPECT_STREQ("unknown", ExitCodeMeaning(1));
}

}  // namespace
