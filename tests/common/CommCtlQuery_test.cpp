// The common-controls version query against real libraries under Wine: the
// system comctl32 (this program is built twice, with and without the
// Common-Controls 6 manifest) and small libraries that stand for old or broken
// versions.
#include "CommCtlVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(CommCtlQuery, SystemLibraryUnderWine)
{
    CommCtlVersion v = QueryCommCtlVersion();
    ASSERT_TRUE(v.known);
    // Wine 8 answers 5.81 whether or not the program asks for Common-Controls 6
    // in its manifest, so both programs pick the Wizard 97 look under Wine.
    EXPECT_EQ(5u, v.major);
    EXPECT_EQ(81u, v.minor);
    EXPECT_TRUE(SupportsWizard97(v));
}

TEST(CommCtlQuery, LibraryThatCannotBeLoadedLeavesVersionUnknown)
{
    CommCtlVersion v = QueryCommCtlVersion("no_such_library_xyz.dll");
    EXPECT_FALSE(v.known);
    EXPECT_FALSE(SupportsWizard97(v));
}

TEST(CommCtlQuery, MissingExportOrFailingCallCountsAsFour)
{
    for (const char* library : {"fake_comctl_noexport.dll", "fake_comctl_fails.dll"}) {
        SCOPED_TRACE(library);
        CommCtlVersion v = QueryCommCtlVersion(library);
        ASSERT_TRUE(v.known);
        EXPECT_EQ(4u, v.major);
        EXPECT_EQ(0u, v.minor);
        EXPECT_FALSE(SupportsWizard97(v));
    }
}

TEST(CommCtlQuery, ThresholdOnReportedVersions)
{
    CommCtlVersion v579 = QueryCommCtlVersion("fake_comctl_579.dll");
    ASSERT_TRUE(v579.known);
    EXPECT_EQ(5u, v579.major);
    EXPECT_EQ(79u, v579.minor);
    EXPECT_FALSE(SupportsWizard97(v579));

    CommCtlVersion v580 = QueryCommCtlVersion("fake_comctl_580.dll");
    ASSERT_TRUE(v580.known);
    EXPECT_EQ(80u, v580.minor);
    EXPECT_TRUE(SupportsWizard97(v580));
}

}  // namespace
